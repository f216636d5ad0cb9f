// Renders the committed soundtrack with the project's player, whole or as a stem of chosen
// channels, and finds drum onsets in the result.
#pragma once

#include <cstdint>
#include <vector>

namespace soundtrack {

constexpr double kSampleRate = 44100.0;
constexpr int kHopFrames = 22; // energy is kept per hop of this many frames (0.5 ms)

// The module's channel roles: the drums are on the first four channels.
constexpr int kKickChannel = 0;
constexpr int kSnareChannel = 1;
constexpr int kPercChannel = 3;

std::vector<uint8_t> committedModule();

struct Rendering {
    uint64_t audibleFrames = 0;    // frames before the loop limit silenced the song
    float peak = 0;                // largest magnitude on either side
    bool silentAfterLimit = false; // two more seconds after the limit were all zero
    std::vector<float> hopEnergy;  // sum of squared mono values per hop
};

// Plays the module once (loop limit 1). With a channel mask, every other channel's notes,
// instruments, volumes and effects are removed, except the commands that steer the song
// (position jump, pattern break, speed, global volume) so the timing stays the same.
Rendering render(const std::vector<uint8_t>& module, uint32_t keepChannels = ~0u);

// True when, at some point within `toleranceSeconds` of `seconds`, the mean energy of the
// next ~4 ms is clearly audible and at least `ratio` times that of the ~10 ms before it.
bool hasOnsetNear(const Rendering& r, double seconds, double toleranceSeconds, double ratio = 4.0);

// How far a hit near `seconds` stands out, in dB: over the 5 ms windows that start within
// 10 ms of that time, the largest ratio of a window's energy to the highest energy of any
// 5 ms window in the 10 ms before it.
double riseNear(const Rendering& r, double seconds);

} // namespace soundtrack
