// Command line of quavel1-capture.
#pragma once

#include <cstdint>
#include <string>

struct CaptureOptions {
    double start = 0.0;       // show time of the first frame, seconds
    double duration = -1.0;   // seconds to capture (or frames below)
    std::int64_t frames = -1; // frames to capture
    double fps = 60.0;
    std::string out;   // a folder for numbered PNGs, or a .mp4 / .mkv video
    std::string audio; // optional WAV of the matching stretch of the soundtrack
    bool help = false;

    std::int64_t frameCount() const;
    bool outIsVideo() const;
};

// Parses argv; on a bad option returns false with a one-line message in `error`.
bool parseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error);

extern const char* const kCaptureUsage;
