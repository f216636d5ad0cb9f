// Outside Windows a program's standard output leads where its starter sent it, unless the
// starter closed it (as a launcher may): then nobody reads it.
#include "platform/parent_console.h"

#include <fcntl.h>
#include <unistd.h>

bool attachParentConsole() {
    return fcntl(STDOUT_FILENO, F_GETFD) != -1 && fcntl(STDERR_FILENO, F_GETFD) != -1;
}
