#include "show_rocket.h"

#include <algorithm>
#include <stdexcept>

#include "demo/show_tracks.h"

namespace show {

RocketFile rocketFromTimeline(const SyncTimeline& timeline) {
    RocketFile file;
    file.rows = kShowRows;
    const auto names = trackNames();
    for (std::size_t t = 0; t < names.size() && t < timeline.tracks.size(); ++t) {
        const auto& keys = timeline.tracks[t].keys;
        // Keys past the show's end (Scroll1pos has one) are kept: the file grows to hold them.
        if (!keys.empty())
            file.rows = std::max(file.rows, keys.back().row + 1);
        file.tracks.push_back({names[t], keys});
    }
    return file;
}

void timelineFromRocket(const RocketFile& file, SyncTimeline& timeline,
                        std::vector<std::string>& notes) {
    const auto names = trackNames();
    std::vector<int> source(names.size(), -1);
    for (std::size_t i = 0; i < file.tracks.size(); ++i) {
        const auto at = std::find(names.begin(), names.end(), file.tracks[i].name);
        if (at == names.end())
            throw std::runtime_error("the show has no track named \"" + file.tracks[i].name + "\"");
        source[at - names.begin()] = static_cast<int>(i);
    }
    if (timeline.tracks.size() < names.size())
        timeline.resizeTracks(names.size());
    for (std::size_t t = 0; t < names.size(); ++t) {
        if (source[t] < 0)
            notes.push_back("the file has no track " + names[t] + "; its keys stay as they are");
        else
            timeline.tracks[t].keys = file.tracks[source[t]].keys;
    }
}

} // namespace show
