// The mixer writes every frame it is asked for, whatever the caller's buffer held before: a
// module of one group of channels has its frames written by that group alone (sums from +0,
// silence where no voice sounds), a larger one has them cleared first.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frame_by_frame.h"
#include "music/module_player.h"
#include "xm_builder.h"

using namespace xmtest;

namespace {

// Short one-shots that end and leave their channel silent, a looped voice, volume changes:
// silence at the start, voices that stop, crossfades and ramps, then silence after the song.
XmModule oneShotModule(uint16_t channels) {
    XmModule m;
    m.channels = channels;
    m.linear = false;
    m.tempo = 3;
    m.bpm = 150;
    for (int i = 0; i < 3; ++i) {
        XmSample s;
        s.sixteenBit = i == 1;
        const int length = 150 + 350 * i;
        for (int k = 0; k < length; ++k) {
            // Negative values too, so that a volume of 0 gives -0 products.
            s.values.push_back(
                static_cast<int16_t>(((k * 37 + i * 11) % 201 - 100) * (s.sixteenBit ? 250 : 1)));
        }
        if (i == 2) {
            s.loopBits = 1;
            s.loopStart = 100;
            s.loopLength = static_cast<uint32_t>(length - 100);
        }
        m.instruments.push_back(singleSampleInstrument(s));
    }
    m.addPattern(32);
    for (int r = 2; r < 32; ++r) {
        for (int c = 0; c < channels; ++c) {
            XmCell& cell = m.cell(0, r, c);
            if ((r + 2 * c) % 7 == 0) {
                cell.note = static_cast<uint8_t>(40 + (r + 5 * c) % 30);
                cell.instrument = static_cast<uint8_t>(1 + (r + c) % 3);
            } else if ((r + c) % 7 == 3) {
                cell.volume = 0x10; // volume 0
            } else if ((r + c) % 7 == 5) {
                cell.volume = 0x50;
            }
        }
    }
    return m;
}

} // namespace

TEST(Mixer, WritesEveryFrameWhateverTheBufferHeld) {
    constexpr uint32_t kFrames = 80000; // past the end of the song, into the loop limit's silence
    // NaN, -0 and a large value: a frame left alone or summed onto them shows.
    constexpr uint32_t kJunk[] = {0x7FC00001u, 0x80000000u, 0x4B000000u};
    for (uint16_t channels : {1, 3, 4, 6}) {
        SCOPED_TRACE(testing::Message() << channels << " channels");
        const std::vector<uint8_t> bytes = oneShotModule(channels).build();
        PlayerPtr reference = createPlayer(bytes);
        PlayerPtr mixer = createPlayer(bytes);
        ASSERT_TRUE(reference && mixer);
        setLoopLimit(reference.get(), 1);
        setLoopLimit(mixer.get(), 1);
        std::vector<float> expected(2 * kFrames);
        renderFrameByFrame(reference.get(), expected.data(), kFrames);

        std::vector<float> actual(2 * kFrames);
        for (size_t i = 0; i < actual.size(); ++i) {
            std::memcpy(&actual[i], &kJunk[i % 3], sizeof(float));
        }
        uint32_t done = 0;
        for (uint32_t chunk = 1; done < kFrames; chunk = chunk * 5 % 3001 + 1) {
            const uint32_t n = std::min(chunk, kFrames - done);
            generateSamples(mixer.get(), actual.data() + 2 * static_cast<size_t>(done), n);
            done += n;
        }
        size_t first = 0;
        while (first < actual.size() &&
               std::memcmp(&actual[first], &expected[first], sizeof(float)) == 0) {
            ++first;
        }
        ASSERT_EQ(first, actual.size())
            << "frame " << first / 2 << ": " << actual[first] << " != " << expected[first];
        // The comparison means something only if the voices sounded and also fell silent.
        size_t silent = 0;
        for (float v : expected) {
            silent += v == 0.0f ? 1 : 0;
        }
        EXPECT_GT(silent, actual.size() / 10);
        EXPECT_LT(silent, actual.size() * 9 / 10);
    }
}
