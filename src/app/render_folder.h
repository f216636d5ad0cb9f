// The files of a render folder, named in one place: frames by grid index, the record of a
// split render, and part videos. The capture tool writes and joins them; the show's read-back
// names its raw frames by the same rule. Usage:
//
//   frameFileName(480, ".png")           -> "frame_000480.png"
//   frameIndexOf("frame_000480.png", ".png", &n)  -> true, n = 480
//   frameFilesIn(folder, ".png")         -> {480: ".../frame_000480.png", ...}
//   writeRenderRecord(folder, record, error);  readRenderRecord(folder, record);
//   partVideoPath("clip.mkv", 2, 4)      -> "clip.part-2-of-4.mkv"
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "app/frame_grid.h"

// frame_NNNNNN followed by `extension` (".png", ".rgba"): at least six digits.
std::string frameFileName(std::int64_t frame, const std::string& extension);
// Whether `name` is a frame file with that extension (and which frame): exactly the name
// frameFileName gives, so another letter case, fewer digits or a suffix are not frames.
bool frameIndexOf(const std::string& name, const std::string& extension, std::int64_t* frame);
// The frame files of `folder` by grid index: regular files (or links to them) with frame
// names; a folder named like a frame is none. Empty when the folder cannot be read.
std::map<std::int64_t, std::string> frameFilesIn(const std::string& folder,
                                                 const std::string& extension);
// The printf pattern of the frame names, for ffmpeg's image sequence input.
std::string frameFilePattern(const std::string& extension);

// What the parts of a split render leave beside their output for the join: the whole render.
struct RenderRecord {
    double fps = 0.0;
    FrameRange whole;
    int parts = 0;
    double scale = 1.0; // --scale: parts drawn at different sizes do not belong together

    bool operator==(const RenderRecord& o) const {
        return fps == o.fps && whole.first == o.whole.first && whole.count == o.whole.count &&
               parts == o.parts && scale == o.scale;
    }
};

// The record's file in `folder`.
std::string renderRecordPath(const std::string& folder);
// Written as every output is (files/output_file.h): each writer through a temporary file of
// its own, so parts writing the same record at once are safe.
bool writeRenderRecord(const std::string& folder, const RenderRecord& record, std::string& error);
// False when there is none (or it cannot be read).
bool readRenderRecord(const std::string& folder, RenderRecord& record);

// clip.mkv, part 2 of 4 -> clip.part-2-of-4.mkv, beside it.
std::string partVideoPath(const std::string& video, int part, int parts);
// Whether `name` is a part video's name ("clip.part-2-of-4.mkv", any letter case of .mkv or
// .mp4), and which part of how many.
bool partVideoOf(const std::string& name, int* part, int* parts);
