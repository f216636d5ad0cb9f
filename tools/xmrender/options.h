// Command line of xmrender.
#pragma once

#include <cstdint>
#include <string>

struct RenderOptions {
    std::string input;
    std::string output;
    uint32_t rate = 44100;
    bool pcm16 = false;
    uint32_t loops = 1;    // 0 = for ever
    double seconds = -1.0; // < 0: no cap
    double start = 0.0;
    bool info = false;
    bool help = false;
};

// Parses argv; on a usage error returns false with a one-line message in *error.
bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error);

extern const char* const kUsage;
