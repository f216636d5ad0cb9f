// Outside Windows the one reason a window cannot open is a display that is missing or refuses
// the program, named by DISPLAY.
#include "platform/window_creation_error.h"

#include <cstdlib>

std::string windowCreationError() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return "cannot open a display (DISPLAY is not set)";
    return std::string("cannot open the display '") + display + "'";
}
