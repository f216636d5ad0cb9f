// Writes a timeline's keys as the show's key data source (show_keys_data.cpp), so that keys
// edited in the sync editor become part of the build. Usage:
//   std::string source = show::writeKeyData(timeline);   // throws on a key it cannot write
//   show::saveKeyData(timeline, path);                   // the same, into a file
// LogoGlow keys are written as its groups where a group's pattern fits and as single keys
// otherwise; heartOpacity as flash rows when it is all one-row flashes; randomshit is left to
// its compact form while it is unchanged; every other track with keys is listed plainly.
#pragma once

#include <string>
#include <vector>

#include "params/sync_timeline.h"

namespace show {

std::string writeKeyData(const SyncTimeline& timeline);

// The editor's "save": the timeline's keys as a key data source at `path`, written as every
// output of the project is (files/output_file.h: complete or not at all, links kept); never
// over one of `inputs`. A failure is thrown as std::runtime_error with its reason.
// The running show saves to a file of its own (see the README); putting it over the
// committed source is the artist's step, so a save never rewrites the build's input unasked.
void saveKeyData(const SyncTimeline& timeline, const std::string& path,
                 const std::vector<std::string>& inputs = {});

} // namespace show
