// The show's window, device and graph, started once for a benchmark program; the program
// ends with a message when they cannot start.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/show.h"

inline DemoApp& startedShow(const char* program) {
    static DemoApp app;
    static bool started = [program] {
        std::string error;
        if (!startShowGraphics(app, error, WindowShown::OnScreen, kFullSize)) {
            std::fprintf(stderr, "%s: %s\n", program, error.c_str());
            std::exit(1);
        }
        return true;
    }();
    (void)started;
    return app;
}
