// The signals that stop a program from outside, and holding them back on one thread while a
// signal handler could see a half-made record:
//
//     for (int s : kStopSignals) std::signal(s, handler);
//     { StopSignalsHeld held; /* create the file, then register it */ }
//
// Where signals can be held (POSIX), one that comes meanwhile is delivered when the holder ends.
// Windows has no signal mask (its Ctrl-C handler runs on a thread of its own): there the holder
// holds nothing.
#pragma once

#include <csignal>
#if !defined(_WIN32)
#include <signal.h>
#endif

// SIGINT and SIGTERM, and SIGHUP (a closed terminal) where there are terminals to close.
inline constexpr int kStopSignals[] = {SIGINT, SIGTERM,
#ifdef SIGHUP
                                       SIGHUP
#endif
};

class StopSignalsHeld {
public:
    StopSignalsHeld();
    // Keeps errno as it was: callers read the errno of the call they made while holding.
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
#if !defined(_WIN32)
    sigset_t before_;
#endif
};
