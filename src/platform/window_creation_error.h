// Why the show's window could not be made, in one line: on Windows the system's message for
// CreateWindowExW's error; on Linux the display that is missing or refuses the program.
#pragma once

#include <string>

std::string windowCreationError();
