// Keyframed tracks on a row grid tied to the music's tempo. Track i drives engine parameter i;
// tracks 0 to 7 are the camera.
#pragma once

#include <cstdint>
#include <vector>

enum InterpolationMode : std::int32_t {
    Step = 0,
    Linear = 1,
    Smooth = 2,
    Quadratic = 3,
    Quartic = 4,
};

struct SyncKey {
    std::uint32_t row;
    float value;
    std::int32_t interpolation; // an InterpolationMode; any other value behaves as Step
};

struct SyncTrack {
    char name[256] = {}; // left zero: tracks are known by position
    std::vector<SyncKey> keys;
};

struct SyncTimeline {
    std::vector<SyncTrack> tracks;
    float bpm = 120.0f;
    std::uint32_t rowsPerBeat = 8;

    // New tracks are empty; tracks removed by shrinking free their keys.
    void resizeTracks(std::size_t count) { tracks.resize(count); }

    // Keys are kept in the order appended and never sorted. The evaluation walks from the first
    // key and stops at the first one above the current row, so keys appended out of row order
    // or with duplicate rows are never read out of bounds. A key is reached only once every key
    // before it is at or below the current row, and the last key reached wins: a key at row 5
    // after one at row 10 is reached from row 10 on and then wins over it. Of several keys on
    // one row the last one wins too.
    void appendKey(std::uint32_t track, std::uint32_t row, float value,
                   std::int32_t interpolation) {
        tracks[track].keys.push_back({row, value, interpolation});
    }

    // Value of track trackIndex (below the track count) at time seconds.
    float evaluate(std::uint32_t trackIndex, float time) const;

    // Rows per second of the grid: rows per beat x bpm / 60, in single precision in that order
    // (the tracks and the editor's seeks both count rows at this rate).
    float rowRate() const;

    void freeTracks() { std::vector<SyncTrack>().swap(tracks); }
};
