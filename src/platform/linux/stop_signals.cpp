#include "platform/stop_signals.h"

#include <cerrno>

#include <pthread.h>

StopSignalsHeld::StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int s : kStopSignals) {
        sigaddset(&stops, s);
    }
    pthread_sigmask(SIG_BLOCK, &stops, &before_);
}

StopSignalsHeld::~StopSignalsHeld() {
    const int error = errno;
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    errno = error;
}
