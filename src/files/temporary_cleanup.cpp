#include "files/temporary_cleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <stdlib.h>
#include <unistd.h>

#include "platform/stop_signals.h"

namespace files {
namespace {

constexpr int kSlots = 16;
// Written only outside the handler; a slot's name is complete before it is marked in use.
char names[kSlots][PATH_MAX];
std::atomic<bool> used[kSlots];
std::atomic<bool> installed{false};

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
    for (int s : kStopSignals) {
        // A signal the caller chose to ignore (nohup, a shell's background job) stays ignored,
        // and one the program handles itself stays its own: such a program stops in order and
        // commits or abandons its outputs itself.
        const auto before = std::signal(s, removeAndStop);
        if (before != SIG_DFL) {
            std::signal(s, before);
        }
    }
}

int remember(const char* path) {
    if (std::strlen(path) >= PATH_MAX) {
        return -1;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (!used[i].load()) {
            std::strcpy(names[i], path);
            used[i].store(true);
            return i;
        }
    }
    return -1;
}

} // namespace

int createRememberedTemporary(char* pattern, int* slot) {
    install();
    StopSignalsHeld held;
    const int fd = mkstemp(pattern);
    *slot = fd >= 0 ? remember(pattern) : -1;
    return fd;
}

void forgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) {
        used[slot].store(false);
    }
}

} // namespace files
