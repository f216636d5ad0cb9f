// Outside Windows a program's standard output always leads where its starter sent it.
#include "platform/parent_console.h"

bool attachParentConsole() {
    return true;
}
