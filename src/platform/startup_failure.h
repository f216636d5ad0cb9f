// Tells the user why a program could not start:
//
//     if (!started) { reportStartupFailure("quavel1", error); return 2; }
//
// The text goes to standard error as "program: message" when that leads somewhere (a console,
// a file, a pipe). A Windows GUI program started from the desktop has none of these, so there
// the message is shown in a message box, and the call returns when the user closes it.
#pragma once

#include <string>

void reportStartupFailure(const char* program, const std::string& message);
