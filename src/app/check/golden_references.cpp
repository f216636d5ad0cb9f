#include "app/check/golden_references.h"

#include <cstring>

#include "golden_reference_files.h"
#include "stb_image.h" // implemented by the engine

namespace {

struct LinkedReference {
    const char* name;
    const unsigned char* tiles;
    const unsigned int* tilesSize;
    const unsigned char* vary;
    const unsigned int* varySize;
};

const LinkedReference kLinked[] = {
    {"explosion", goldenExplosion, &goldenExplosion_size, goldenExplosionVary,
     &goldenExplosionVary_size},
    {"particles", goldenParticles, &goldenParticles_size, goldenParticlesVary,
     &goldenParticlesVary_size},
    {"credits", goldenCredits, &goldenCredits_size, goldenCreditsVary, &goldenCreditsVary_size},
};

// A kTilesX x kTilesY PNG with `channels` channels, or empty.
std::vector<std::uint8_t> decode(const unsigned char* png, unsigned int size, int channels) {
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load_from_memory(png, int(size), &w, &h, &n, channels);
    std::vector<std::uint8_t> result;
    if (pixels != nullptr && w == kTilesX && h == kTilesY)
        result.assign(pixels, pixels + std::size_t(w) * h * channels);
    stbi_image_free(pixels);
    return result;
}

} // namespace

bool loadGoldenReference(const GoldenMoment& moment, GoldenReference& reference,
                         std::string& error) {
    for (const LinkedReference& linked : kLinked) {
        if (std::strcmp(linked.name, moment.name) != 0)
            continue;
        reference.tiles = decode(linked.tiles, *linked.tilesSize, 3);
        reference.vary = decode(linked.vary, *linked.varySize, 1);
        if (reference.tiles.empty() || reference.vary.empty()) {
            error = std::string("the linked reference of ") + moment.name + " cannot be decoded";
            return false;
        }
        return true;
    }
    error = std::string("no reference is linked for ") + moment.name;
    return false;
}
