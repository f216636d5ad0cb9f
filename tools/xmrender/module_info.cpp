#include "module_info.h"

#include <cstdio>

#include "music/module_player.h"
#include "render.h"

namespace {

std::string moduleName(const std::vector<uint8_t>& module) {
    std::string name;
    for (size_t i = 17; i < 37 && i < module.size() && module[i] != 0; ++i) {
        const char c = static_cast<char>(module[i]);
        name += c >= 32 && c < 127 ? c : '?';
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

} // namespace

std::string formatDuration(double seconds) {
    const long long millis = static_cast<long long>(seconds * 1000.0 + 0.5);
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld (%.3f s)", millis / 60000,
                  millis / 1000 % 60, millis % 1000, seconds);
    return text;
}

std::string moduleInfo(const std::vector<uint8_t>& module, uint32_t rate, uint64_t capFrames) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, module.data(), module.size(), rate) != kPlayerOk) {
        return "";
    }
    std::string out;
    char line[256];
    auto add = [&](const char* label, const std::string& value) {
        std::snprintf(line, sizeof line, "%-18s %s\n", label, value.c_str());
        out += line;
    };
    add("name:", moduleName(module));
    add("channels:", std::to_string(player->channelCount));
    add("patterns:", std::to_string(player->patternCount));
    add("instruments:", std::to_string(player->instrumentCount));
    add("song length:", std::to_string(player->songLength));
    add("restart position:", std::to_string(player->restartPosition));
    add("frequency table:", player->frequencyMode == LinearTable ? "linear" : "amiga");
    add("tempo:", std::to_string(player->tempo) + " ticks per row");
    add("BPM:", std::to_string(player->bpm));
    destroyModulePlayer(player);

    bool ended = false;
    const uint64_t frames = songLengthFrames(module.data(), module.size(), rate, capFrames, &ended);
    const double seconds = static_cast<double>(frames) / rate;
    add("duration:", ended ? formatDuration(seconds)
                           : "more than " + formatDuration(seconds) + " (the song did not end)");
    return out;
}
