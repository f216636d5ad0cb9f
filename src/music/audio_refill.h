// The audio thread's refill rule and the byte clock, apart from any device so that tests can
// drive them with made-up play positions.
#pragma once

#include <cstdint>
#include <functional>

// Frames in the looping device buffer; frame f of the play position belongs to slot f mod this.
constexpr std::uint32_t kAudioRingFrames = 4096;
constexpr std::uint32_t kAudioSampleRate = 44100;
// Interleaved stereo 32-bit float.
constexpr std::uint32_t kAudioBytesPerFrame = 8;

// Renders `frames` frames of the song, continuing where it left off, into `out`.
using AudioFrameRenderer = std::function<void(float* out, std::uint32_t frames)>;

// One pass of the refill: renders into `ring` every frame the device has played (`played`,
// in frames since the first write) that has not been rendered yet, each into the slot it just
// left, and advances `framesRendered` (frames rendered since playback began, not counting the
// pre-rendered first lap). A render call never crosses the ring's end; after a stall longer
// than the ring, every missed frame is still rendered, so the song stays at the device's
// position. A play position behind `framesRendered` renders nothing.
void refillPlayedFrames(const AudioFrameRenderer& render, float* ring, std::uint32_t played,
                        std::uint32_t& framesRendered);

// The show's clock: a byte position of the device in seconds, whole frames only.
// 16228800 bytes (2028600 frames) are exactly 46 s.
float audioSecondsFromBytes(std::uint32_t bytesPlayed);
