// Key edits that keep a track's keys in strictly ascending row order: setting a key replaces
// the one on the same row or is inserted in its place; deleting removes the key on a row.
#pragma once

#include <algorithm>

#include "params/sync_timeline.h"

inline void setKey(SyncTrack& track, const SyncKey& key) {
    auto at = std::lower_bound(track.keys.begin(), track.keys.end(), key.row,
                               [](const SyncKey& k, std::uint32_t row) { return k.row < row; });
    if (at != track.keys.end() && at->row == key.row)
        *at = key;
    else
        track.keys.insert(at, key);
}

// Returns whether a key was on that row.
inline bool deleteKey(SyncTrack& track, std::uint32_t row) {
    auto at = std::lower_bound(track.keys.begin(), track.keys.end(), row,
                               [](const SyncKey& k, std::uint32_t r) { return k.row < r; });
    if (at == track.keys.end() || at->row != row)
        return false;
    track.keys.erase(at);
    return true;
}
