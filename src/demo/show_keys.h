// The show's keyframe data in text form (show_keys_data.cpp), in a notation short enough to edit:
// "row value mode" triples, mode S (step), L (linear), M (smooth), Q (quadratic) or F (quartic).
// A track listed in kListedTrackKeys takes its keys from there, whatever its compact form.
#pragma once

#include <cstddef>

namespace show {

struct TrackKeyText {
    int track;
    const char* name;
    const char* keys;
};

// Keys relative to a start row r ("r 3 S, r+1 0.5 S"), and the rows at which the group starts.
struct KeyGroupText {
    const char* label;
    int startCount;
    const char* pattern;
    const char* startRows;
};

extern const TrackKeyText kListedTrackKeys[];
extern const std::size_t kListedTrackCount;
extern const KeyGroupText kLogoGlowGroups[];
extern const std::size_t kLogoGlowGroupCount;
extern const char* const kLogoGlowOtherKeys;
extern const char* const kHeartFlashRows;

} // namespace show
