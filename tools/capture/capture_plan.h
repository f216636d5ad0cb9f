// A capture checked and prepared before any frame is drawn: the grid frames to write, where
// they go, and every output ready to take them (the PNG folder made and probed, a video's
// soundtrack written, a split render's record left for the join). Inputs it can check without
// the device (the --shaders folder) are checked before any output is made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture_options.h"

struct CapturePlan {
    std::vector<std::int64_t> frames; // grid frames to write, ascending
    FrameRange range;                 // from the first of them to the last
    double fps = 0.0;
    std::string label;           // "quavel1-capture part K/N", the start of every report
    bool video = false;          // a video, else PNG frames in options.out
    std::string videoPath;       // the video's final name (a part's beside --out)
    std::string videoSoundtrack; // the temporary WAV a whole video is muxed with, or empty
};

// Checks and prepares every output; returns the exit code when the capture cannot go on (the
// reason said on stderr).
std::optional<int> planCapture(const CaptureOptions& options, CapturePlan& plan);
