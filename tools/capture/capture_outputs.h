// The capture's outputs, checked and prepared before any frame is drawn. ffmpeg writes a video
// under its work name (files/work_file.h), which becomes the video only when every frame is in,
// or a visibly partial video when the capture was interrupted.
#pragma once

#include <string>

#include "app/render_folder.h"

// Makes the PNG folder and checks that it takes files. A folder that holds frames of another
// capture is refused unless `overwrite` (then those frames are removed). A part of a split
// render shares its folder with the other parts: their frames are welcome when the folder's
// record is this render's, and a part never removes frames.
bool prepareFrameFolder(const std::string& folder, const RenderRecord* split, bool overwrite,
                        std::string& error);

// clip.mp4 -> clip.partial.mp4: where an interrupted capture leaves the frames it wrote.
std::string interruptedVideoPath(const std::string& video);
