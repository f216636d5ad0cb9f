// golden-vary-mask --reference MOMENT.png --output MOMENT.vary.png [FRAME.png ...]
//
// Marks the tiles of a golden moment that legitimately differ between GPUs: every tile whose
// mean moves by more than half the check's tolerance in any of the given frames, which are
// the same moment rendered with the arguments of sin and cos beyond ±100π evaluated another
// way (QUAVEL_D3D11_WIDE_TRIG). Within ±100π Direct3D bounds their error; beyond it, it does
// not, so those tiles are reported apart by `quavel1 --check` instead of failing it. Half the
// tolerance leaves a margin for a GPU that lands further off than the variants do. Without
// frames the mask is empty.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include "app/check/tile_compare.h"
#include "cli/command_line.h"
#include "files/output_file.h"

namespace {

const char* const kUsage =
    "usage: golden-vary-mask --reference MOMENT.png --output MOMENT.vary.png [FRAME.png ...]\n"
    "Writes the mask (160 x 90, 255 where a tile varies) of the tiles whose mean moves by more\n"
    "than half the tolerance of quavel1 --check in any FRAME (1600 x 900) against the\n"
    "reference tile means; without frames the mask is empty.\n";

void appendBytes(void* bytes, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(bytes);
    out->insert(out->end(), static_cast<unsigned char*>(data),
                static_cast<unsigned char*>(data) + size);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "golden-vary-mask: %s\n", message.c_str());
    return cli::kExitFailed;
}

} // namespace

int main(int argc, char** argv) {
    std::string referencePath, outputPath;
    cli::Parser parser;
    parser.text("--reference", &referencePath);
    parser.text("--output", &outputPath);
    const cli::Parsed parsed = parser.parse(argc, argv);
    if (std::optional<int> code = cli::earlyExit(parsed, "golden-vary-mask", kUsage))
        return *code;
    if (referencePath.empty() || outputPath.empty())
        return cli::usageError("golden-vary-mask", "--reference and --output are required");
    std::vector<std::string> inputs = parsed.positional;
    inputs.push_back(referencePath);
    std::string error;
    if (!files::checkOutput(outputPath, inputs, &error))
        return fail("--output: " + error);

    int w = 0, h = 0, n = 0;
    unsigned char* ref = stbi_load(referencePath.c_str(), &w, &h, &n, 3);
    if (!ref || w != kTilesX || h != kTilesY) {
        stbi_image_free(ref);
        return fail("--reference: " + referencePath + " is not a " + std::to_string(kTilesX) +
                    " x " + std::to_string(kTilesY) + " PNG");
    }
    const Tiles reference(ref, ref + std::size_t(w) * h * 3);
    stbi_image_free(ref);

    std::vector<std::uint8_t> mask(std::size_t(kTilesX) * kTilesY, 0);
    for (const std::string& path : parsed.positional) {
        unsigned char* rgba = stbi_load(path.c_str(), &w, &h, &n, 4);
        const Tiles got = tileMeans(rgba, w, h);
        stbi_image_free(rgba);
        if (got.empty())
            return fail(path + " is not a " + std::to_string(kGoldenWidth) + " x " +
                        std::to_string(kGoldenHeight) + " PNG");
        for (std::size_t i = 0; i < got.size(); ++i) {
            const int d = int(got[i]) - int(reference[i]);
            if (2 * (d < 0 ? -d : d) > kTileTolerance)
                mask[i / 3] = 255;
        }
    }
    std::vector<unsigned char> png;
    stbi_write_png_to_func(appendBytes, &png, kTilesX, kTilesY, 1, mask.data(), kTilesX);
    if (png.empty())
        return fail("cannot encode the mask as PNG");
    if (!files::writeWholeFile(outputPath, png.data(), png.size(), inputs, &error))
        return fail(error);
    int marked = 0;
    for (std::uint8_t m : mask)
        marked += m ? 1 : 0;
    std::printf("%s: %d of %d tiles vary\n", outputPath.c_str(), marked, kTilesX * kTilesY);
    return cli::kExitOk;
}
