#include "files/temporary_cleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <stdlib.h>
#include <unistd.h>

#ifndef _WIN32
#include <pthread.h>
#endif

namespace files {
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

// Holds the stop signals back on this thread for its lifetime; one that came meanwhile is
// delivered when it ends. Windows has no signal mask (its Ctrl-C handler runs on a thread of
// its own), so there it holds nothing.
class StopSignalsHeld {
public:
#ifdef _WIN32
    StopSignalsHeld() = default;
#else
    StopSignalsHeld() {
        sigset_t stops;
        sigemptyset(&stops);
        for (int s : kSignals) {
            sigaddset(&stops, s);
        }
        pthread_sigmask(SIG_BLOCK, &stops, &before_);
    }
    ~StopSignalsHeld() {
        const int error = errno; // the caller reads mkstemp's errno
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
        errno = error;
    }

private:
    sigset_t before_;
#endif
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
};

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
