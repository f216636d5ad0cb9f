// Command line of xmrender.
#pragma once

#include <cstdint>
#include <string>

struct RenderOptions {
    std::string input;
    std::string output; // "-" is standard output
    uint32_t rate = 44100;
    bool pcm16 = false;
    uint32_t loops = 1;    // 0 = for ever
    double seconds = -1.0; // < 0: no cap
    double start = 0.0;
    bool info = false;
};

enum class ParseOutcome { Run, Help, Refused };

// Parses argv; a refusal leaves a one-line reason (naming the option) in *error.
ParseOutcome parseOptions(int argc, char** argv, RenderOptions* options, std::string* error);

// Output frames of a span of seconds at the options' rate.
uint64_t framesOf(double seconds, uint32_t rate);

// Without --seconds a song that never comes back to a played row stops after this long, or
// where a WAV file is full if that comes first.
uint64_t defaultCapFrames(const RenderOptions& options);

extern const char* const kUsage;
