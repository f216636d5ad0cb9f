// Command line of quavel1-capture. The options are one table (capture_options.cpp): each row
// has its name, value, help line and how the shared parser (src/cli) takes the value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_grid.h"

struct CaptureOptions {
    double start = 0.0;       // seconds; the capture begins at the first grid frame from here
    double duration = -1.0;   // seconds to capture (or frames below)
    std::int64_t frames = -1; // frames to capture
    double fps = 60.0;
    bool fpsGiven = false;
    std::string out;            // a folder for PNGs named by grid index, or a .mp4 / .mkv video
    std::string audio;          // optional WAV of the matching stretch of the soundtrack
    int part = 1, parts = 1;    // --part K/N
    std::string join;           // --join FOLDER: make the video --out from a folder of frames
    std::vector<double> stills; // --stills T1,T2,...: only the grid frames at or after these
    double scale = 1.0;         // --scale F: every picture at this fraction of its size
    bool help = false;
    bool overwrite = false;  // --overwrite: replace the frames of another capture in --out
    bool edit = false;       // --edit: take the keys from the sync editor
    std::string editAddress; // HOST:PORT after --edit, empty for localhost:1338
    std::string shaders;     // --shaders DIR: the show's programs compiled from DIR

    // The grid frames asked for, and the part of them before the show's end.
    FrameRange requestedRange() const;
    FrameRange wholeRange() const;
    // This process's share of it.
    FrameRange partRange() const { return partOf(wholeRange(), part, parts); }
    // The grid frames to write, ascending: the part's range, or the stills' frames.
    std::vector<std::int64_t> framesToWrite() const;
    bool outIsVideo() const;
};

// Parses argv. Returns an exit code when the tool is done (help shown: 0; a refused command
// line, said in one line: 2), nothing when the capture goes on.
std::optional<int> parseCaptureOptions(int argc, char** argv, CaptureOptions& options);

// The usage text, made from the option table.
std::string captureUsage();
