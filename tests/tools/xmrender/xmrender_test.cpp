#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <unistd.h>

#include "module_extent.h"
#include "module_info.h"
#include "player_test_support.h"
#include "render.h"
#include "tool_run.h"
#include "wav_file.h"

using namespace xmtest;

namespace {

uint32_t read32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t read16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

} // namespace

TEST(WavFile, HeadersOfBothFormats) {
    const std::vector<uint8_t> f = wavHeader(SampleFormat::Float32, 44100, 10);
    ASSERT_EQ(f.size(), 58u);
    EXPECT_EQ(std::memcmp(f.data(), "RIFF", 4), 0);
    EXPECT_EQ(read32(f, 4), 58u - 8 + 80);
    EXPECT_EQ(read32(f, 16), 18u);
    EXPECT_EQ(read16(f, 20), 3); // IEEE float
    EXPECT_EQ(read16(f, 22), 2);
    EXPECT_EQ(read32(f, 24), 44100u);
    EXPECT_EQ(read32(f, 28), 44100u * 8);
    EXPECT_EQ(read16(f, 32), 8);
    EXPECT_EQ(read16(f, 34), 32);
    EXPECT_EQ(std::memcmp(&f[38], "fact", 4), 0);
    EXPECT_EQ(read32(f, 46), 10u);
    EXPECT_EQ(std::memcmp(&f[50], "data", 4), 0);
    EXPECT_EQ(read32(f, 54), 80u);

    const std::vector<uint8_t> p = wavHeader(SampleFormat::Pcm16, 22050, 10);
    ASSERT_EQ(p.size(), 44u);
    EXPECT_EQ(read16(p, 20), 1);
    EXPECT_EQ(read16(p, 34), 16);
    EXPECT_EQ(read32(p, 40), 40u);
    EXPECT_EQ(read32(p, 4), 36u + 40);
}

TEST(WavFile, Pcm16ClipsInsteadOfWrapping) {
    // Clipped at both ends, NaN silent; rounded to nearest, halves to even. The table starts
    // at every offset of a longer block, so each value passes both the eight-value steps and
    // the single values after them.
    const float in[] = {
        0.0f, 0.5f,         -1.0f,        1.0f,          3.0f,          -7.0f,           INFINITY,
        NAN,  2.5f / 32768, 3.5f / 32768, -2.5f / 32768, -2.6f / 32768, 32766.5f / 32768};
    const int out[] = {0, 16384, -32768, 32767, 32767, -32768, 32767, 0, 2, 4, -2, -3, 32766};
    static_assert(std::size(in) == std::size(out));
    for (size_t offset = 0; offset < 8; ++offset) {
        std::vector<float> block(offset + std::size(in) + 3, 0.25f);
        std::copy(std::begin(in), std::end(in), block.begin() + static_cast<ptrdiff_t>(offset));
        std::vector<uint8_t> bytes(2 * block.size());
        pcm16FromFloats(block.data(), block.size(), bytes.data());
        for (size_t i = 0; i < std::size(in); ++i) {
            EXPECT_EQ(static_cast<int16_t>(read16(bytes, 2 * (offset + i))), out[i]) << in[i];
        }
    }
}

TEST(WavFile, AppearsUnderItsNameOnlyWhenComplete) {
    tooltest::ScratchFolder folder;
    const std::string path = folder.path("out.wav");
    const float frames[] = {0.25f, -0.5f, 1.5f, -2.0f};
    std::string error;
    {
        WavFile abandoned;
        ASSERT_TRUE(abandoned.create(path, SampleFormat::Float32, 44100, &error)) << error;
        ASSERT_TRUE(abandoned.write(frames, 2, &error));
        EXPECT_EQ(access(path.c_str(), F_OK), -1);
    }
    EXPECT_TRUE(folder.entries().empty()); // the temporary file went with it

    WavFile wav;
    ASSERT_TRUE(wav.create(path, SampleFormat::Pcm16, 8000, &error)) << error;
    ASSERT_TRUE(wav.write(frames, 2, &error));
    ASSERT_TRUE(wav.finish(&error)) << error;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.wav"});
    const std::string text = tooltest::readText(path);
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    ASSERT_EQ(bytes.size(), 44u + 8);
    EXPECT_EQ(read32(bytes, 40), 8u);
    EXPECT_EQ(static_cast<int16_t>(read16(bytes, 44)), 8192);
    EXPECT_EQ(static_cast<int16_t>(read16(bytes, 48)), 32767);
    EXPECT_EQ(static_cast<int16_t>(read16(bytes, 50)), -32768);

    WavFile nowhere;
    EXPECT_FALSE(
        nowhere.create(folder.path("missing/out.wav"), SampleFormat::Float32, 44100, &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

TEST(Render, StopsWhereTheSongEndsAndHonoursStartAndCap) {
    const std::vector<uint8_t> song = threeRowSong().build();
    auto run = [&](RenderPlan plan, std::vector<float>* kept) {
        PlayerPtr p = createPlayer(song);
        return renderModule(p.get(), plan, [&](const float* f, uint32_t n) {
            kept->insert(kept->end(), f, f + 2 * n);
            return true;
        });
    };
    std::vector<float> once;
    RenderResult r = run(RenderPlan{}, &once);
    EXPECT_TRUE(r.songEnded);
    EXPECT_EQ(r.frames, 3u * 882u);
    EXPECT_EQ(once.size(), 2u * 3 * 882);

    RenderPlan twice;
    twice.loopLimit = 2;
    std::vector<float> two;
    EXPECT_EQ(run(twice, &two).frames, 2u * 3 * 882);

    RenderPlan skip;
    skip.skipFrames = 1000;
    std::vector<float> tail;
    r = run(skip, &tail);
    EXPECT_EQ(r.frames, 3u * 882u - 1000);
    EXPECT_EQ(std::memcmp(tail.data(), once.data() + 2000, tail.size() * sizeof(float)), 0);

    RenderPlan capped;
    capped.loopLimit = 0;
    capped.maxFrames = 10000;
    std::vector<float> forever;
    r = run(capped, &forever);
    EXPECT_FALSE(r.songEnded);
    EXPECT_EQ(r.frames, 10000u);

    bool ended = false;
    EXPECT_EQ(songLengthFrames(song.data(), song.size(), 44100, 100000, &ended), 3u * 882u);
    EXPECT_TRUE(ended);
    EXPECT_EQ(songLengthFrames(song.data(), song.size(), 44100, 1000, &ended), 1000u);
    EXPECT_FALSE(ended);
}

TEST(Render, InfoReportsHeaderValuesAndDuration) {
    const std::vector<uint8_t> song = threeRowSong().build();
    const std::string info = moduleInfo(song, 44100, 1000000);
    EXPECT_NE(info.find("channels:          1"), std::string::npos) << info;
    EXPECT_NE(info.find("frequency table:   linear"), std::string::npos) << info;
    EXPECT_NE(info.find("BPM:               125"), std::string::npos) << info;
    EXPECT_NE(info.find("0:00.060 (0.060 s)"), std::string::npos) << info;
    EXPECT_EQ(formatDuration(368.0), "6:08.000 (368.000 s)");
}

// The stated size walks header, patterns (their own header lengths), instruments (an empty one
// occupies only its header) and sample data of both widths; a complete file lacks nothing.
TEST(ModuleExtent, CountsTheBytesATruncatedFileLacks) {
    XmModule m = moduleWithSample(constantSample(100, 100));
    m.headerSize = 300;
    m.addPattern(5);
    m.patterns[1].headerLength = 12;
    XmInstrument empty;
    empty.headerSize = 40;
    m.instruments.push_back(empty);
    XmSample wide = constantSample(77, 1000);
    wide.sixteenBit = true;
    m.instruments.push_back(singleSampleInstrument(wide));
    const std::vector<uint8_t> bytes = m.build();
    EXPECT_EQ(moduleStatedSize(bytes.data(), bytes.size()), bytes.size());
    EXPECT_EQ(moduleMissingBytes(bytes.data(), bytes.size()), 0u);
    for (size_t cut : {1u, 154u, 155u, 190u}) { // the last sample header's length stays
        EXPECT_EQ(moduleMissingBytes(bytes.data(), bytes.size() - cut), cut) << cut;
    }
}
