// The sync editor's track files (.rocket) as quavel1-tracks --import reads them: any text is
// refused with a message or gives tracks that are applied to the show's timeline. What is
// read must be what the file says once: ascending rows, finite values, known modes, one
// track a name, and writing it out and reading it back gives it again. Applying it changes
// only the show's tracks, each to the keys of the file's track of its name.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

#include "demo/show_tracks.h"
#include "rocket_file.h"
#include "show_rocket.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool sameKeys(const std::vector<SyncKey>& a, const std::vector<SyncKey>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].row != b[i].row || std::memcmp(&a[i].value, &b[i].value, 4) != 0 ||
            a[i].interpolation != b[i].interpolation)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RocketFile file;
    try {
        file = readRocket(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::runtime_error& refused) {
        check(std::strlen(refused.what()) > 0);
        return 0;
    }
    std::set<std::string> names;
    for (const RocketTrack& track : file.tracks) {
        check(names.insert(track.name).second);
        for (std::size_t k = 0; k < track.keys.size(); ++k) {
            check(std::isfinite(track.keys[k].value));
            check(track.keys[k].interpolation >= Step && track.keys[k].interpolation <= Quartic);
            check(k == 0 || track.keys[k - 1].row < track.keys[k].row);
        }
    }
    const RocketFile again = readRocket(writeRocket(file));
    check(again.rows == file.rows && again.tracks.size() == file.tracks.size());
    for (std::size_t t = 0; t < file.tracks.size(); ++t)
        check(again.tracks[t].name == file.tracks[t].name &&
              sameKeys(again.tracks[t].keys, file.tracks[t].keys));

    const auto showNames = show::trackNames();
    SyncTimeline timeline;
    timeline.resizeTracks(showNames.size() + 1);
    timeline.appendKey(static_cast<std::uint32_t>(showNames.size()), 7, 7.0f, Step);
    std::vector<std::string> notes;
    try {
        show::timelineFromRocket(file, timeline, notes);
    } catch (const std::runtime_error&) {
        // A track the show does not have refuses the file before anything is applied.
        for (std::size_t t = 0; t < showNames.size(); ++t)
            check(timeline.tracks[t].keys.empty());
        return 0;
    }
    check(timeline.tracks.size() == showNames.size() + 1);
    check(timeline.tracks.back().keys.size() == 1 && timeline.tracks.back().keys[0].row == 7);
    for (const RocketTrack& track : file.tracks) {
        std::size_t t = 0;
        while (showNames[t] != track.name)
            ++t;
        check(sameKeys(timeline.tracks[t].keys, track.keys));
    }
    return 0;
}
