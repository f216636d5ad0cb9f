#include "demo/key_data_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

#include "demo/show_keys.h"
#include "demo/show_tracks.h"
#include "files/output_file.h"
#include "params/float_text.h"

namespace show {

namespace {

constexpr std::uint32_t kRandomshit = 22;
constexpr std::size_t kLineWidth = 92; // text per source line, inside the quotes

const char* modeLetter(std::int32_t mode) {
    static const char* const kLetters[] = {"S", "L", "M", "Q", "F"};
    if (mode < Step || mode > Quartic)
        throw std::invalid_argument("a key with mode " + std::to_string(mode) +
                                    " has no letter in the key notation");
    return kLetters[mode];
}

std::string keyText(const SyncKey& key) {
    return std::to_string(key.row) + " " + shortestFloatText(key.value) + " " +
           modeLetter(key.interpolation);
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

// A string literal split into lines at item boundaries, each line indented.
std::string literal(const std::string& text, const char* indent) {
    if (text.empty())
        return std::string(indent) + "\"\"";
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.size();
        if (end - start > kLineWidth) {
            end = text.rfind(", ", start + kLineWidth);
            end = (end == std::string::npos || end <= start) ? text.size() : end + 2;
        }
        out += (out.empty() ? "" : "\n") + std::string(indent) + "\"" +
               text.substr(start, end - start) + "\"";
        start = end;
    }
    return out;
}

bool sameKeys(const std::vector<SyncKey>& a, const std::vector<SyncKey>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const SyncKey& x, const SyncKey& y) {
               return x.row == y.row && std::memcmp(&x.value, &y.value, 4) == 0 &&
                      x.interpolation == y.interpolation;
           });
}

// Rows of one-row flashes (r 1 S, r+1 0 S) when the keys are exactly that.
bool flashRows(const std::vector<SyncKey>& keys, std::vector<std::string>& rows) {
    if (keys.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < keys.size(); i += 2) {
        const SyncKey& on = keys[i];
        const SyncKey& off = keys[i + 1];
        if (on.value != 1.0f || on.interpolation != Step || off.row != on.row + 1 ||
            off.value != 0.0f || std::signbit(off.value) || off.interpolation != Step)
            return false;
        rows.push_back(std::to_string(on.row));
    }
    return true;
}

struct GroupedKeys {
    std::vector<std::vector<std::string>> starts; // per group of kLogoGlowGroups
    std::vector<std::string> others;
};

// Splits LogoGlow's keys into the existing groups, taking each group's pattern wherever all
// its keys are present and not yet taken, in group order; the rest are single keys.
GroupedKeys groupLogoGlow(const std::vector<SyncKey>& keys) {
    std::map<std::uint32_t, SyncKey> byRow;
    for (const SyncKey& key : keys)
        byRow[key.row] = key;
    std::set<std::uint32_t> taken;
    GroupedKeys grouped;
    for (std::size_t g = 0; g < kLogoGlowGroupCount; ++g) {
        const std::vector<SyncKey> pattern = parseKeys(kLogoGlowGroups[g].pattern, 0);
        grouped.starts.emplace_back();
        for (const SyncKey& candidate : keys) {
            const std::uint32_t start = candidate.row;
            bool fits = true;
            for (const SyncKey& p : pattern) {
                auto it = byRow.find(start + p.row);
                fits = fits && it != byRow.end() && !taken.count(start + p.row) &&
                       sameKeys({it->second}, {{start + p.row, p.value, p.interpolation}});
            }
            if (!fits)
                continue;
            for (const SyncKey& p : pattern)
                taken.insert(start + p.row);
            grouped.starts.back().push_back(std::to_string(start));
        }
    }
    for (const SyncKey& key : keys)
        if (!taken.count(key.row))
            grouped.others.push_back(keyText(key));
    return grouped;
}

} // namespace

std::string writeKeyData(const SyncTimeline& timeline) {
    if (timeline.tracks.size() != kParameterCount)
        throw std::invalid_argument("the show has " + std::to_string(kParameterCount) +
                                    " tracks, not " + std::to_string(timeline.tracks.size()));
    SyncTimeline builtIn;
    fillTracks(builtIn);
    const auto names = parameterList();
    const auto& heart = timeline.tracks[HeartOpacity].keys;
    std::vector<std::string> heartRows;
    const bool heartAsFlashes = flashRows(heart, heartRows);

    std::string listed;
    for (std::uint32_t t = 0; t < kParameterCount; ++t) {
        const auto& keys = timeline.tracks[t].keys;
        const bool compact = t == LogoGlow || (t == HeartOpacity && heartAsFlashes) ||
                             (t == kRandomshit && sameKeys(keys, builtIn.tracks[t].keys));
        // A track with a compact form is listed even when empty, so it stays empty.
        if (compact || (keys.empty() && t != kRandomshit && t != HeartOpacity))
            continue;
        std::vector<std::string> items;
        for (const SyncKey& key : keys)
            items.push_back(keyText(key));
        listed += "    {" + std::to_string(t) + ", \"" + names[t].name + "\",\n" +
                  literal(joined(items), "     ") + "},\n";
    }
    if (listed.empty()) // the table needs one entry: an empty listed track is still no keys
        listed = "    {0, \"" + std::string(names[0].name) + "\",\n     \"\"},\n";

    const GroupedKeys glow = groupLogoGlow(timeline.tracks[LogoGlow].keys);
    std::string groups;
    for (std::size_t g = 0; g < kLogoGlowGroupCount; ++g)
        groups += std::string("    {\"") + kLogoGlowGroups[g].label + "\", " +
                  std::to_string(glow.starts[g].size()) + ", \"" + kLogoGlowGroups[g].pattern +
                  "\",\n" + literal(joined(glow.starts[g]), "     ") + "},\n";

    return "// The show's keyframes in a compact text notation: each key is its row, its value and "
           "its mode\n"
           "// (S step, L linear, M smooth, Q quadratic, F quartic), keys separated by commas.\n"
           "// This text is where the show's motion is edited; quavel1-tracks --import writes it "
           "from the\n"
           "// sync editor's files.\n"
           "#include \"demo/show_keys.h\"\n\nnamespace show {\n\n"
           "const TrackKeyText kListedTrackKeys[] = {\n" +
           listed +
           "};\nconst std::size_t kListedTrackCount = sizeof kListedTrackKeys / sizeof "
           "kListedTrackKeys[0];\n\n"
           "// Track 11 (LogoGlow): groups of keys relative to a start row r, with their start "
           "rows,\n// plus the keys that belong to no group.\n"
           "const KeyGroupText kLogoGlowGroups[] = {\n" +
           groups +
           "};\nconst std::size_t kLogoGlowGroupCount = sizeof kLogoGlowGroups / sizeof "
           "kLogoGlowGroups[0];\n\n"
           "const char* const kLogoGlowOtherKeys =\n" +
           literal(joined(glow.others), "    ") +
           ";\n\n// Track 29 (heartOpacity): one-row flashes, a key r 1 S and a key r+1 0 S for "
           "each row r.\n"
           "const char* const kHeartFlashRows =\n" +
           literal(joined(heartRows), "    ") + ";\n\n} // namespace show\n";
}

void saveKeyData(const SyncTimeline& timeline, const std::string& path,
                 const std::vector<std::string>& inputs) {
    const std::string text = writeKeyData(timeline);
    std::string error;
    if (!files::writeWholeFile(path, text.data(), text.size(), inputs, &error))
        throw std::runtime_error(error);
}

} // namespace show
