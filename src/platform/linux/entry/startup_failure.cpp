// A program on Linux always has standard error to write to.
#include "platform/startup_failure.h"

#include <cstdio>

void reportStartupFailure(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
}

void reportStartupNote(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
}
