// The show's tracks as a sync editor file and back. Usage:
//   RocketFile file = show::rocketFromTimeline(timeline);     // all 31 tracks, by name
//   std::vector<std::string> notes;
//   show::timelineFromRocket(file, timeline, notes);          // throws on an unknown track
#pragma once

#include <string>
#include <vector>

#include "params/sync_timeline.h"
#include "rocket_file.h"

namespace show {

// Rows of the show: row 6256 is its end (368 s). A file covers at least these and every key.
constexpr std::uint32_t kShowRows = 6257;

RocketFile rocketFromTimeline(const SyncTimeline& timeline);

// Replaces the keys of every track the file names. A track the file does not hold keeps its
// keys (a note says so); a track name the show does not have is an error and changes nothing.
void timelineFromRocket(const RocketFile& file, SyncTimeline& timeline,
                        std::vector<std::string>& notes);

} // namespace show
