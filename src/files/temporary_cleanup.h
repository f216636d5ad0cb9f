// Removal of temporary files when a program is stopped by a signal, so an interrupted run
// leaves nothing behind. The handler only unlinks the registered names and then lets the
// signal end the process as it would have. A program that handles a stop signal itself keeps
// its handler: it ends in order and commits or abandons its outputs on its way out.
#pragma once

namespace files {

// Creates a temporary file from a mkstemp pattern (its XXXXXX replaced by the name made) and
// registers it for removal on SIGINT, SIGTERM and SIGHUP (the handlers are installed with the
// first one, for the signals that would end the process). The signals wait while the file exists
// but is not yet registered, so a stop at that moment cannot leave it behind. Returns the open
// descriptor, or -1 with errno set; *slot is for forgetTemporary, or -1 when every slot is taken
// (then only the caller can remove the file).
int createRememberedTemporary(char* pattern, int* slot);
void forgetTemporary(int slot);

} // namespace files
