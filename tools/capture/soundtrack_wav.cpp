#include "soundtrack_wav.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "demo/show_assets.h"
#include "music/module_player.h"

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kChunk = 4096;

void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

std::vector<std::uint8_t> floatWavHeader(std::uint32_t frames) {
    const std::uint32_t dataBytes = frames * 8;
    std::vector<std::uint8_t> h;
    h.insert(h.end(), {'R', 'I', 'F', 'F'});
    put32(h, 4 + 26 + 12 + 8 + dataBytes);
    h.insert(h.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(h, 18);
    put16(h, 3); // IEEE float
    put16(h, 2);
    put32(h, kRate);
    put32(h, kRate * 8);
    put16(h, 8);
    put16(h, 32);
    put16(h, 0);
    h.insert(h.end(), {'f', 'a', 'c', 't'});
    put32(h, 4);
    put32(h, frames);
    h.insert(h.end(), {'d', 'a', 't', 'a'});
    put32(h, dataBytes);
    return h;
}

} // namespace

bool writeSoundtrackWav(const std::string& path, double startSeconds, double seconds,
                        std::string& error) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, showModule(), showModuleSize(), kRate) != 0) {
        error = "the soundtrack module cannot be loaded";
        return false;
    }
    setLoopLimit(player, 1);
    std::vector<float> buffer(kChunk * 2);
    auto skip = static_cast<std::uint64_t>(std::llround(startSeconds * kRate));
    while (skip > 0) {
        auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(skip, kChunk));
        generateSamples(player, buffer.data(), n);
        skip -= n;
    }
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * kRate));
    const std::string partial = path + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (!f) {
        destroyModulePlayer(player);
        error = "cannot write " + path;
        return false;
    }
    std::vector<std::uint8_t> header = floatWavHeader(frames);
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    for (std::uint32_t done = 0; ok && done < frames;) {
        std::uint32_t n = std::min(kChunk, frames - done);
        generateSamples(player, buffer.data(), n);
        ok = std::fwrite(buffer.data(), sizeof(float), n * 2, f) == n * 2;
        done += n;
    }
    destroyModulePlayer(player);
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}
