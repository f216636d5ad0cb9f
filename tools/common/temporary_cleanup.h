// Removal of temporary files when the tool is stopped by a signal, so an interrupted run
// leaves nothing behind. The handler only unlinks the registered names and then lets the
// signal end the process as it would have.
#pragma once

namespace cli {

// Registers a temporary file for removal on SIGINT, SIGTERM and SIGHUP (the handlers are
// installed with the first registration). Returns a slot for forgetTemporary, or -1 when
// every slot is taken (then only the destructor can remove the file).
int rememberTemporary(const char* path);
void forgetTemporary(int slot);

} // namespace cli
