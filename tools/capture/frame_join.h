// The join of a split render: one video with the soundtrack added once, from a folder of PNG
// frames named by grid index (encoded once), or from the part videos of a render that wrote
// video directly (concatenated without re-encoding). A gap, a frame of another size or a
// missing part is refused with a message naming it.
#pragma once

#include <string>

#include "capture_options.h"

// Uses options.join (the folder), options.out (the video) and options.fps when given.
bool joinRender(const CaptureOptions& options, std::string& error);
