// Tells the user why a program could not start:
//
//     if (!started) { reportStartupFailure("quavel1", error); return 2; }
//
// The text goes to standard error as "program: message" when that leads somewhere (a console,
// a file, a pipe). A Windows GUI program started from the desktop has none of these, so there
// the message is shown in a message box, and the call returns when the user closes it.
//
// reportStartupNote tells the user something once, the same way, that does not stop the
// program (the show running in software).
#pragma once

#include <string>

void reportStartupFailure(const char* program, const std::string& message);

void reportStartupNote(const char* program, const std::string& message);
