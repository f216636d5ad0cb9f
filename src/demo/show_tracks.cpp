#include "demo/show_tracks.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "demo/show_keys.h"

namespace show {

namespace {

struct ParameterDefault {
    const char* name;
    float value;
};

// ContextBuffer order; the default matters only before the first frame.
constexpr ParameterDefault kParameters[kParameterCount] = {
    {"CameraPosX", 0.0f},
    {"CameraPosY", 0.0f},
    {"CameraPosZ", 0.0f},
    {"CameraDirX", 0.0f},
    {"CameraDirY", 0.0f},
    {"CameraDirZ", 0.0f},
    {"CameraFOV", 0.0f},
    {"CameraRoll", 0.0f},
    {"FadeIn", 0.0f},
    {"Scroll1pos", -7.0f},
    {"Composaturation", 1.0f},
    {"LogoGlow", 0.15f},
    {"Glass1opacity", 0.8f},
    {"Glass2opacity", 0.0f},
    {"Light_n_Saturation", 1.0f},
    {"Pyramid_Rotation", 5.0f},
    {"GLOBAL_PARTICLE_COUNT", 6.0f},
    {"glowintens", 2.5f},
    {"glowrad", 12.5f},
    {"glowopac", 0.35f},
    {"partikelfart", 1.0f},
    {"logoOpacity", 1.0f},
    {"randomshit", 1.0f},
    {"Brokenlogo", 1.0f},
    {"scenechange", 0.0f},
    {"fontresizeX", 3.0f},
    {"PARTICLEEXPLOSION", 0.0f},
    {"explosionframe", 0.0f},
    {"lettercolorglobal", 1.0f},
    {"heartOpacity", 0.0f},
    {"credsvisibility", 0.0f},
};

// Runs of keys with one value and mode at evenly spaced rows (track 22, randomshit).
struct KeyRun {
    std::uint32_t first, last, step;
    float value;
    InterpolationMode mode;
};

constexpr const char* kRandomshitHead = "0 3.99 S, 64 3.99 L, 184 1 S";
constexpr KeyRun kRandomshitRuns[] = {
    {4816, 5168, 8, 1.0f, Smooth},
    {5176, 5240, 8, 1.0f, Step},
};
constexpr const char* kRandomshitTail = "6064 1 S, 6090 1 S, 6200 1 L, 6256 0 S, 6258 0 S";
constexpr std::uint32_t kRandomshit = 22;

InterpolationMode modeFromLetter(char letter) {
    switch (letter) {
    case 'S':
        return Step;
    case 'L':
        return Linear;
    case 'M':
        return Smooth;
    case 'Q':
        return Quadratic;
    case 'F':
        return Quartic;
    default:
        throw std::invalid_argument(std::string("unknown key mode '") + letter + "'");
    }
}

} // namespace

std::vector<SyncKey> parseKeys(const char* text, std::uint32_t groupStart) {
    std::vector<SyncKey> keys;
    const char* p = text;
    auto skipSeparators = [&] {
        while (*p == ' ' || *p == ',' || *p == ';')
            ++p;
    };
    skipSeparators();
    while (*p) {
        char* end = nullptr;
        std::uint32_t row;
        if (*p == 'r') {
            ++p;
            row = groupStart;
            if (*p == '+') {
                row += static_cast<std::uint32_t>(std::strtoul(p + 1, &end, 10));
                p = end;
            }
        } else {
            row = static_cast<std::uint32_t>(std::strtoul(p, &end, 10));
            if (end == p)
                throw std::invalid_argument(std::string("bad key row at \"") + p + "\"");
            p = end;
        }
        float value = std::strtof(p, &end);
        if (end == p)
            throw std::invalid_argument(std::string("bad key value at \"") + p + "\"");
        p = end;
        while (*p == ' ')
            ++p;
        keys.push_back({row, value, modeFromLetter(*p)});
        ++p;
        skipSeparators();
    }
    return keys;
}

namespace {

std::vector<std::uint32_t> parseRows(const char* text) {
    std::vector<std::uint32_t> rows;
    for (const char* p = text; *p;) {
        char* end = nullptr;
        unsigned long row = std::strtoul(p, &end, 10);
        if (end == p)
            break;
        rows.push_back(static_cast<std::uint32_t>(row));
        p = end;
        while (*p == ',' || *p == ' ')
            ++p;
    }
    return rows;
}

std::vector<SyncKey> logoGlowKeys() {
    std::vector<SyncKey> keys = parseKeys(kLogoGlowOtherKeys);
    for (std::size_t g = 0; g < kLogoGlowGroupCount; ++g) {
        const KeyGroupText& group = kLogoGlowGroups[g];
        std::vector<std::uint32_t> starts = parseRows(group.startRows);
        if (starts.size() != static_cast<std::size_t>(group.startCount))
            throw std::logic_error(std::string("LogoGlow group ") + group.label +
                                   " lists the wrong number of start rows");
        for (std::uint32_t start : starts)
            for (const SyncKey& key : parseKeys(group.pattern, start))
                keys.push_back(key);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const SyncKey& a, const SyncKey& b) { return a.row < b.row; });
    return keys;
}

std::vector<SyncKey> randomshitKeys() {
    std::vector<SyncKey> keys = parseKeys(kRandomshitHead);
    for (const KeyRun& run : kRandomshitRuns)
        for (std::uint32_t row = run.first; row <= run.last; row += run.step)
            keys.push_back({row, run.value, run.mode});
    for (const SyncKey& key : parseKeys(kRandomshitTail))
        keys.push_back(key);
    return keys;
}

std::vector<SyncKey> heartOpacityKeys() {
    std::vector<SyncKey> keys;
    for (std::uint32_t row : heartFlashRows()) {
        keys.push_back({row, 1.0f, Step});
        keys.push_back({row + 1, 0.0f, Step});
    }
    return keys;
}

// A track listed with its keys takes them from the list, so that any track can be written out
// plainly (an imported edit does); the others are built from their compact forms.
std::vector<SyncKey> keysOfTrack(std::uint32_t track) {
    for (std::size_t i = 0; i < kListedTrackCount; ++i)
        if (kListedTrackKeys[i].track == static_cast<int>(track))
            return parseKeys(kListedTrackKeys[i].keys);
    if (track == LogoGlow)
        return logoGlowKeys();
    if (track == kRandomshit)
        return randomshitKeys();
    if (track == HeartOpacity)
        return heartOpacityKeys();
    return {};
}

} // namespace

std::vector<Fennick::gfx::ParamDesc> parameterList() {
    std::vector<Fennick::gfx::ParamDesc> list;
    list.reserve(kParameterCount);
    for (const ParameterDefault& p : kParameters)
        list.push_back(Fennick::gfx::makeFloatParam(p.name, p.value));
    return list;
}

std::vector<std::string> trackNames() {
    std::vector<std::string> names;
    for (const ParameterDefault& p : kParameters)
        names.push_back(p.name);
    return names;
}

std::vector<std::uint32_t> heartFlashRows() {
    return parseRows(kHeartFlashRows);
}

void fillTracks(SyncTimeline& timeline) {
    timeline.bpm = kBpm;
    timeline.rowsPerBeat = kRowsPerBeat;
    timeline.resizeTracks(kParameterCount);
    for (std::uint32_t track = 0; track < kParameterCount; ++track)
        for (const SyncKey& key : keysOfTrack(track))
            timeline.appendKey(track, key.row, key.value, key.interpolation);
}

} // namespace show
