#include "temporary_cleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace cli {
namespace {

constexpr int kSlots = 16;
// Written only outside the handler; a slot's name is complete before it is marked in use.
char names[kSlots][PATH_MAX];
std::atomic<bool> used[kSlots];
std::atomic<bool> installed{false};

// SIGHUP (a closed terminal) exists only where there are terminals to close.
constexpr int kSignals[] = {SIGINT, SIGTERM,
#ifdef SIGHUP
                            SIGHUP
#endif
};

void removeAndStop(int signal) {
    for (int i = 0; i < kSlots; ++i) {
        if (used[i].load()) {
            unlink(names[i]);
        }
    }
    // Ends the process the way the signal would have, so the caller sees how it ended.
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void install() {
    if (installed.exchange(true)) {
        return;
    }
    for (int s : kSignals) {
        // A signal the caller chose to ignore (nohup, a shell's background job) stays ignored.
        if (std::signal(s, removeAndStop) == SIG_IGN) {
            std::signal(s, SIG_IGN);
        }
    }
}

} // namespace

int rememberTemporary(const char* path) {
    if (std::strlen(path) >= PATH_MAX) {
        return -1;
    }
    install();
    for (int i = 0; i < kSlots; ++i) {
        if (!used[i].load()) {
            std::strcpy(names[i], path);
            used[i].store(true);
            return i;
        }
    }
    return -1;
}

void forgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) {
        used[slot].store(false);
    }
}

} // namespace cli
