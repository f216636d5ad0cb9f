// What the parts of a split render leave beside their output for the join: a small record of
// the whole render (frame rate, grid range, number of parts, picture scale), and the names of
// part videos.
#pragma once

#include <string>

#include "app/frame_grid.h"

struct RenderRecord {
    double fps = 0.0;
    FrameRange whole;
    int parts = 0;
    double scale = 1.0; // --scale: parts drawn at different sizes do not belong together
};

// The record's file in `folder`.
std::string renderRecordPath(const std::string& folder);

// Written to a temporary name and renamed, so parts writing the same record at once are safe.
bool writeRenderRecord(const std::string& folder, const RenderRecord& record, std::string& error);

// False when there is none (or it cannot be read).
bool readRenderRecord(const std::string& folder, RenderRecord& record);

// clip.mkv, part 2 of 4 -> clip.part-2-of-4.mkv, beside it.
std::string partVideoPath(const std::string& video, int part, int parts);
