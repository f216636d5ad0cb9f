// The capture's run: the show started offscreen at the capture's scale (with the sync
// editor's keys when asked for), its playhead moved over the frame grid, and every planned
// frame drawn, read back and handed to its sink (PNG files or ffmpeg). Ctrl-C or SIGTERM stops
// it after the frame being drawn.
#pragma once

#include <cstdint>
#include <string>

#include "capture_plan.h"

struct CaptureRun {
    std::int64_t written = 0;
    std::string error;  // empty when every frame written went through
    int stopSignal = 0; // the signal that stopped the run early, or 0
};

CaptureRun runCapture(const CaptureOptions& options, const CapturePlan& plan);
