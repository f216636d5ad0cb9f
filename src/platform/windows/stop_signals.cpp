// Windows has no signal mask: a console's Ctrl-C handler runs on a thread of its own, so there
// is nothing to hold back on this one.
#include "platform/stop_signals.h"

StopSignalsHeld::StopSignalsHeld() = default;

StopSignalsHeld::~StopSignalsHeld() = default;
