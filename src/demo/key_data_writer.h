// Writes a timeline's keys as the show's key data source (show_keys_data.cpp), so that keys
// edited in the sync editor become part of the build. Usage:
//   std::string source = show::writeKeyData(timeline);   // throws on a key it cannot write
// LogoGlow keys are written as its groups where a group's pattern fits and as single keys
// otherwise; heartOpacity as flash rows when it is all one-row flashes; randomshit is left to
// its compact form while it is unchanged; every other track with keys is listed plainly.
#pragma once

#include <string>

#include "params/sync_timeline.h"

namespace show {

std::string writeKeyData(const SyncTimeline& timeline);

} // namespace show
