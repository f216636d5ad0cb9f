// Rendering a module to frames: skipping a start, capping the length, and stopping where the
// loop limit silences the song.
#pragma once

#include <cstdint>
#include <functional>

#include "music/module_player.h"

struct RenderPlan {
    uint8_t loopLimit = 1;           // 0 = for ever (then maxFrames must be set)
    uint64_t skipFrames = 0;         // rendered but not delivered
    uint64_t maxFrames = UINT64_MAX; // delivered frames at most
};

struct RenderResult {
    uint64_t frames = 0;    // frames delivered
    bool songEnded = false; // stopped where the loop limit silenced the song
    bool sinkFailed = false;
};

// Called with each block of delivered interleaved stereo frames; returns false to stop.
using FrameSink = std::function<bool(const float* frames, uint32_t count)>;
// Called now and then with the number of frames rendered so far (skipped ones included).
using ProgressReport = std::function<void(uint64_t renderedFrames)>;

RenderResult renderModule(ModulePlayer* player, const RenderPlan& plan, const FrameSink& sink,
                          const ProgressReport& progress = nullptr);

// Frames from the start until the loop limit 1 silences the song, or `capFrames` if it has
// not by then (*ended tells which).
uint64_t songLengthFrames(const void* module, size_t size, uint32_t rate, uint64_t capFrames,
                          bool* ended);
