// The sync editor's track files (.rocket): XML of the form
//   <sync rows="N"><tracks><track name=".."><key row=".." value=".." interpolation=".."/>
//   ...</track></tracks></sync>
// Usage: writeRocket(tracks, rows) gives the file's text; readRocket(text) gives the tracks
// back or throws std::runtime_error naming what is wrong. Interpolation numbers are the
// timeline's modes (0 step, 1 linear, 2 smooth, 3 quadratic, 4 quartic); the editor keeps a
// number it cannot set itself (4) unchanged, so quartic keys survive a trip through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "params/sync_timeline.h"

struct RocketTrack {
    std::string name;
    std::vector<SyncKey> keys; // ascending rows
};

struct RocketFile {
    std::uint32_t rows = 0;
    std::vector<RocketTrack> tracks;
};

std::string writeRocket(const RocketFile& file);

// Refuses malformed XML, keys outside a track, rows or values that are not numbers, values
// that are not finite, unknown interpolation numbers, two keys on one row of a track and two
// tracks of one name.
// Unknown elements and attributes (the editor's own bookkeeping) are skipped.
RocketFile readRocket(const std::string& text);
