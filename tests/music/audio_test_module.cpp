#include "music/audio_test_module.h"

#include "music/module_player.h"
#include "music/xm_builder.h"

namespace audiotest {

std::vector<std::uint8_t> audioTestModule() {
    xmtest::XmModule module;
    module.channels = 2;
    const int pattern = module.addPattern(64);
    xmtest::XmSample ramp;
    for (int i = 0; i < 997; ++i)
        ramp.values.push_back(static_cast<int16_t>((i * 37) % 256 - 128));
    ramp.loopBits = 1;
    ramp.loopLength = 997;
    module.instruments.push_back(xmtest::singleSampleInstrument(ramp));
    for (int row = 0; row < 64; ++row) {
        module.cell(pattern, row, 0) = {static_cast<uint8_t>(40 + (row * 7) % 24), 1, 0, 0, 0};
        module.cell(pattern, row, 1) = {static_cast<uint8_t>(30 + (row * 5) % 17), 1,
                                        static_cast<uint8_t>(0x10 + row % 48), 0, 0};
    }
    return module.build();
}

std::vector<float> renderOffline(const std::vector<std::uint8_t>& module, std::uint32_t frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    xmtest::PlayerPtr player = xmtest::createPlayer(module, 44100);
    if (player == nullptr)
        return {};
    setLoopLimit(player.get(), 1);
    generateSamples(player.get(), out.data(), frames);
    return out;
}

} // namespace audiotest
