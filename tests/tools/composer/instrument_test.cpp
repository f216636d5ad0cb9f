// The synthesised instruments, played by the project's player: in tune and never clipping.
#include "instruments.h"
#include "xm_writer.h"

#include "music/module_player.h"

#include <gtest/gtest.h>

#include <cmath>

namespace composer {
namespace {

// One channel playing `midi` on `instrument` from row 0, rendered for `seconds`.
std::vector<float> playNote(int instrument, int midi, double seconds) {
    XmModule m;
    m.channels = 1;
    m.tempo = 3;
    m.bpm = 255;
    m.orders = {0};
    XmPattern p;
    p.rows = 128;
    p.channels = 1;
    p.cells.resize(128);
    p.at(0, 0) = {cellNote(midi), uint8_t(instrument), 0, 0, 0};
    m.patterns = {p};
    static const std::vector<XmInstrument> instruments = buildInstruments();
    m.instruments = instruments;
    const std::vector<uint8_t> bytes = writeXm(m);
    ModulePlayer* player = nullptr;
    EXPECT_EQ(createModulePlayer(&player, bytes.data(), bytes.size(), 44100), kPlayerOk);
    std::vector<float> stereo(size_t(seconds * 44100) * 2);
    if (player) {
        generateSamples(player, stereo.data(), uint32_t(stereo.size() / 2));
        destroyModulePlayer(player);
    }
    std::vector<float> mono(stereo.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = stereo[2 * i] + stereo[2 * i + 1];
    return mono;
}

// Fundamental by autocorrelation over lags of 40..1000 Hz, refined between lags.
double fundamental(const std::vector<float>& x, size_t from, size_t count) {
    // Normalised, so that a swelling or fading note does not favour long or short lags.
    const auto correlation = [&](size_t lag) {
        double sum = 0, a = 1e-12, b = 1e-12;
        for (size_t i = from; i < from + count; ++i) {
            sum += double(x[i]) * x[i + lag];
            a += double(x[i]) * x[i];
            b += double(x[i + lag]) * x[i + lag];
        }
        return sum / std::sqrt(a * b);
    };
    std::vector<double> values(1200, 0.0);
    double largest = 0;
    for (size_t lag = 40; lag < 1105; ++lag) {
        values[lag] = correlation(lag);
        largest = std::fmax(largest, values[lag]);
    }
    // Multiples of the period correlate about as well as the period itself: take the first
    // local peak that comes close to the largest.
    size_t best = 45;
    while (best < 1103 && !(values[best] >= 0.9 * largest && values[best] >= values[best - 1] &&
                            values[best] >= values[best + 1]))
        ++best;
    const double a = values[best - 1], b = values[best], c = values[best + 1];
    const double shift = 0.5 * (a - c) / (a - 2 * b + c);
    return 44100.0 / (double(best) + shift);
}

TEST(Instruments, TonalInstrumentsPlayInTune) {
    // A3, A4 and E5 on every pitched instrument: within 1.5 % (about a quarter semitone).
    for (int instrument : {Bass, Pad, Strings, GatePad, Lead, Pluck, Chip})
        for (int midi : {57, 69, 76}) {
            const std::vector<float> sound = playNote(instrument, midi, 0.4);
            const double expected = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
            const double measured = fundamental(sound, 4410, 4410);
            EXPECT_NEAR(measured / expected, 1.0, 0.015)
                << "instrument " << instrument << ", MIDI note " << midi << ": " << measured
                << " Hz";
        }
}

TEST(Instruments, EveryInstrumentSoundsAndStaysBelowFullScale) {
    for (int instrument = Kick; instrument < kInstrumentEnd; ++instrument) {
        const std::vector<float> sound = playNote(instrument, 60, 0.5);
        float peak = 0;
        for (float v : sound)
            peak = std::fmax(peak, std::fabs(v));
        EXPECT_GT(peak, 0.05f) << "instrument " << instrument << " is silent";
        EXPECT_LT(peak, 0.36f) << "instrument " << instrument << " exceeds one channel's share";
    }
}

} // namespace
} // namespace composer
