// The show's choreography: its 31 parameters with their defaults, its tempo and the keys of
// its 31 tracks. Track i drives parameter i.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Fennick/param_block.h"
#include "params/sync_timeline.h"

namespace show {

constexpr float kBpm = 127.5f;
constexpr std::uint32_t kRowsPerBeat = 8; // 17 rows a second: row 6256 is 368 s
constexpr std::size_t kParameterCount = 31;

// Track indices the rest of the system refers to by meaning.
enum Track : std::uint32_t {
    CameraPosX = 0,
    CameraRoll = 7,
    FadeIn = 8,
    LogoGlow = 11,
    Brokenlogo = 23,
    HeartOpacity = 29,
};

// The 31 float parameters in ContextBuffer order, each with its default value.
std::vector<Fennick::gfx::ParamDesc> parameterList();

// The parameter names in track order: what the show asks the sync editor for.
std::vector<std::string> trackNames();

// Sets the tempo, resizes the timeline to 31 tracks and appends every track's keys in
// ascending row order (tracks 8 to 23, then 25 to 30; the camera tracks and track 24 have
// none).
void fillTracks(SyncTimeline& timeline);

// Parses the key notation of show_keys_data.cpp: "row value mode" triples separated by commas
// or semicolons, mode S (step), L (linear), M (smooth), Q (quadratic) or F (quartic, the
// fourth power). A row may be written relative to a group's start as "r" or "r+k".
std::vector<SyncKey> parseKeys(const char* text, std::uint32_t groupStart = 0);

// Rows at which heartOpacity flashes (each flash lasts exactly one row).
std::vector<std::uint32_t> heartFlashRows();

} // namespace show
