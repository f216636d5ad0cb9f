// Writes a few small, varied modules into a folder, as a starting corpus for the fuzzer.
#include <cstdio>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "random_module.h"
#include "xm_builder.h"

namespace {

xmtest::XmModule seedModule(int variant) {
    xmtest::XmModule m;
    m.channels = static_cast<uint16_t>(2 + variant);
    m.linear = variant % 2 == 0;
    m.tempo = static_cast<uint16_t>(2 + variant);
    m.orders = {0, 1, 0};
    m.restart = 1;
    m.addPattern(8);
    m.addPattern(4);
    xmtest::XmSample sample;
    sample.sixteenBit = variant >= 2;
    for (int i = 0; i < 64; ++i) {
        sample.values.push_back(
            static_cast<int16_t>((i % 16 - 8) * (sample.sixteenBit ? 2000 : 12)));
    }
    sample.loopBits = static_cast<uint8_t>(variant % 3);
    sample.loopStart = 8;
    sample.loopLength = 40;
    xmtest::XmInstrument in = xmtest::singleSampleInstrument(sample);
    in.volumeEnvelope.points = {{0, 64}, {6, 20}, {12, 50}};
    in.volumeEnvelope.type = static_cast<uint8_t>(variant % 2 ? 7 : 3);
    in.volumeEnvelope.sustain = 1;
    in.volumeEnvelope.loopEnd = 2;
    in.panningEnvelope.points = {{0, 10}, {8, 54}};
    in.panningEnvelope.type = 1;
    in.vibratoType = static_cast<uint8_t>(variant);
    in.vibratoDepth = 6;
    in.vibratoRate = 12;
    in.fadeout = 1000;
    m.instruments = {in, in};
    // Every effect type and volume-column range appears somewhere.
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < m.channels; ++c) {
            const int k = (r * m.channels + c + variant * 5) % 36;
            m.cell(0, r, c) = {static_cast<uint8_t>(r % 3 == 0 ? 30 + k : (r == 5 ? 97 : 0)),
                               static_cast<uint8_t>(r % 4 == 0 ? 1 + c % 2 : 0),
                               static_cast<uint8_t>(0x10 * ((k % 15) + 1) + r),
                               static_cast<uint8_t>(k), static_cast<uint8_t>(0x11 * (r + 1))};
        }
    }
    for (int c = 0; c < m.channels; ++c) {
        m.cell(1, 0, c) = {49, 1, 0, 0x0E, static_cast<uint8_t>(0x10 * (c % 16) + 2)};
    }
    return m;
}

// A seed cut short by a stop would be a different seed in the corpus from then on.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string error;
    if (!files::writeWholeFile(path, bytes.data(), bytes.size(), {}, &error)) {
        std::fprintf(stderr, "write_fuzz_seeds: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Generator seeds: the decision bytes of the random modules of seeds 1..kGeneratorSeeds, as
// the fuzz target reads them (a rate and a loop limit first, then the module).
constexpr uint32_t kGeneratorSeeds = 32;
constexpr size_t kDecisionBytes = 4096;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: write_fuzz_seeds FOLDER\n"
                     "Writes seed_0.xm .. seed_3.xm (modules) and gen_1 .. gen_%u (decision\n"
                     "bytes for the random module generator) into FOLDER.\n",
                     kGeneratorSeeds);
        return argc == 2 ? 0 : 2;
    }
    const std::string folder = argv[1];
    for (int variant = 0; variant < 4; ++variant) {
        if (!writeFile(folder + "/seed_" + std::to_string(variant) + ".xm",
                       seedModule(variant).build())) {
            return 1;
        }
    }
    for (uint32_t seed = 1; seed <= kGeneratorSeeds; ++seed) {
        xmtest::SeededChoices choices(seed);
        std::vector<uint8_t> bytes(kDecisionBytes);
        for (uint8_t& b : bytes) {
            b = choices.byte();
        }
        if (!writeFile(folder + "/gen_" + std::to_string(seed), bytes)) {
            return 1;
        }
    }
    return 0;
}
