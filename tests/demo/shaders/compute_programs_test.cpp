// The three compute programs: pyramid state, particle simulation and message layout, each
// dispatched once (or a few times) and compared element by element with the formulas.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "demo/shaders/gpu_harness.h"
#include "demo/shaders/shader_blocks.h"
#include "demo/shaders/shader_reference.h"

namespace ref = shader_reference;

namespace {

using ComputePrograms = ShaderTest;

// ---- pyramid state ---------------------------------------------------------------------------

struct PyramidElement {
    float rotation, x, y;
};

PyramidElement stepPyramid(GpuHarness& gpu, PyramidElement in, uint32_t frame, float dt,
                           float speed) {
    GpuBuffer input = gpu.structuredBuffer(&in, 12, 1);
    const PyramidElement junk{-9, -9, -9};
    GpuBuffer output = gpu.structuredBuffer(&junk, 12, 1);
    ContextBlock ctx;
    ctx.setFrame(frame);
    ctx.setElapsedTime(dt);
    ctx.set("Pyramid_Rotation", speed);
    gpu.dispatch(SHADER(csPyramid), {input}, {output}, ctx, 1);
    return gpu.readAs<PyramidElement>(output)[0];
}

TEST_F(ComputePrograms, PyramidRestartsAtFrameZeroAndAccumulatesRotationAfter) {
    const PyramidElement start{0.7f, 0.2f, -0.1f};
    const PyramidElement restarted = stepPyramid(gpu, start, 0, 0.02f, 5.0f);
    EXPECT_FLOAT_EQ(restarted.rotation, 0.1f);
    EXPECT_EQ(restarted.x, 0.0f);
    EXPECT_EQ(restarted.y, 0.0f);

    PyramidElement s = start;
    for (uint32_t frame = 1; frame <= 3; ++frame)
        s = stepPyramid(gpu, s, frame, 0.02f, 5.0f);
    EXPECT_NEAR(s.rotation, 0.7f + 3 * 0.1f, 1e-6f);
    EXPECT_EQ(s.x, 0.2f);
    EXPECT_EQ(s.y, -0.1f);
}

// ---- particles -------------------------------------------------------------------------------

// A first index whose spawn draw u1 is exactly 0, so Box-Muller yields an infinity.
uint32_t indexWithZeroDraw() {
    for (uint32_t i = 1; i < 1000; ++i)
        if (ref::hash32(i) % 1000u == 0)
            return i;
    return 0;
}

// A mixed population: active particles anywhere around the pyramid at assorted speeds,
// inactive ones with stale contents.
std::vector<ref::Particle> randomParticles(uint32_t cursor) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<ref::Particle> ps(1000);
    for (uint32_t i = 0; i < ps.size(); ++i) {
        ref::Particle& p = ps[i];
        for (float& c : p.color)
            c = unit(rng);
        p.age = uint32_t(unit(rng) * 500);
        p.position[0] = unit(rng) * 2.2f - 1.1f;
        p.position[1] = unit(rng) * 1.9f - 0.9f;
        p.position[2] = unit(rng);
        p.position[3] = 1;
        p.isActive = unit(rng) < 0.7f;
        p.uniqueID = uint32_t(unit(rng) * 100000);
        p.collisionStatus = uint32_t(unit(rng) * 3) % 3;
        const float angle = unit(rng) * 6.28318f;
        p.direction[0] = std::cos(angle);
        p.direction[1] = std::sin(angle);
        p.speed[0] = p.speed[1] = unit(rng) * 40;
        p.lastSpawnedID = 777;
        p.waveInfo[0] = unit(rng) < 0.5f ? unit(rng) : 0.0f;
        p.waveInfo[1] = unit(rng);
        p.padding = unit(rng);
    }
    ps[0].isActive = 0;
    ps[0].lastSpawnedID = cursor;
    ps[5].speed[0] = ps[5].speed[1] = 0; // at rest
    ps[5].position[0] = 0.0f;
    ps[5].position[1] = 0.05f;
    ps[5].isActive = 1;
    return ps;
}

void expectParticle(const ref::Particle& got, const ref::Particle& want, uint32_t i) {
    const float tol = 1e-4f;
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(got.color[k], want.color[k], tol) << "particle " << i;
        EXPECT_NEAR(got.position[k], want.position[k], tol) << "particle " << i;
    }
    EXPECT_EQ(got.age, want.age) << "particle " << i;
    EXPECT_EQ(got.isActive != 0, want.isActive != 0) << "particle " << i;
    EXPECT_EQ(got.uniqueID, want.uniqueID) << "particle " << i;
    EXPECT_EQ(got.collisionStatus, want.collisionStatus) << "particle " << i;
    EXPECT_EQ(got.lastSpawnedID, want.lastSpawnedID) << "particle " << i;
    for (int k = 0; k < 2; ++k) {
        EXPECT_NEAR(got.speed[k], want.speed[k], tol * (1 + std::fabs(want.speed[k])))
            << "particle " << i;
        EXPECT_NEAR(got.direction[k], want.direction[k], tol) << "particle " << i;
        EXPECT_NEAR(got.waveInfo[k], want.waveInfo[k], tol) << "particle " << i;
    }
    EXPECT_NEAR(got.padding, want.padding, tol) << "particle " << i;
}

std::vector<ref::Particle> stepParticles(GpuHarness& gpu, const std::vector<ref::Particle>& in,
                                         const ref::PyramidState& pyramid, float count,
                                         float speed) {
    const float state[3] = {pyramid.rotation, pyramid.position.x, pyramid.position.y};
    GpuBuffer particles = gpu.structuredBuffer(in.data(), 80, in.size());
    GpuBuffer pyramidBuffer = gpu.structuredBuffer(state, 12, 1);
    std::vector<ref::Particle> junk(in.size());
    GpuBuffer output = gpu.structuredBuffer(junk.data(), 80, junk.size());
    ContextBlock ctx;
    ctx.set("GLOBAL_PARTICLE_COUNT", count);
    ctx.set("partikelfart", speed);
    gpu.dispatch(SHADER(csParticles), {particles, pyramidBuffer}, {output}, ctx, 125);
    return gpu.readAs<ref::Particle>(output);
}

TEST_F(ComputePrograms, ParticlesMoveBounceDieAndSpawnAsTheReferenceStep) {
    const uint32_t zeroDraw = indexWithZeroDraw();
    ASSERT_GT(zeroDraw, 2u);
    const uint32_t cursor = zeroDraw - 2;
    std::vector<ref::Particle> in = randomParticles(cursor);
    // The spawn range [cursor, cursor + 6): all inactive except one, which keeps moving.
    for (uint32_t i = cursor; i < cursor + 6; ++i)
        in[i].isActive = i == cursor + 1;
    const ref::PyramidState pyramid{0.4f, {0.05f, -0.02f}};

    const std::vector<ref::Particle> want = ref::particleStep(in, pyramid, 6.8f, 1.5f);
    const std::vector<ref::Particle> got = stepParticles(gpu, in, pyramid, 6.8f, 1.5f);
    ASSERT_EQ(got.size(), want.size());
    int hits = 0, deaths = 0, spawns = 0, left = 0;
    for (uint32_t i = 0; i < want.size(); ++i) {
        expectParticle(got[i], want[i], i);
        hits += in[i].isActive && want[i].collisionStatus == 1;
        left += in[i].collisionStatus == 1 && want[i].collisionStatus == 2;
        deaths += in[i].isActive && !want[i].isActive;
        spawns += !in[i].isActive && want[i].isActive;
    }
    // The population must exercise every rule for the comparison to mean something.
    EXPECT_GT(hits, 5);
    EXPECT_GT(left, 5);
    EXPECT_GT(deaths, 5);
    EXPECT_EQ(spawns, 5);
    EXPECT_EQ(got[0].lastSpawnedID, (cursor + 6) % 1000);
    // u1 = 0: the Gaussian is clamped to a bound, putting the particle at +-0.5.
    EXPECT_NEAR(std::fabs(got[zeroDraw].position[1]), 0.5f, 1e-6f);
    EXPECT_EQ(got[zeroDraw].uniqueID, zeroDraw);
    EXPECT_EQ(got[cursor + 1].age, in[cursor + 1].age + 1);
}

TEST_F(ComputePrograms, ParticleSpawnRangeStopsAtTheCapacityWithoutWrapping) {
    std::vector<ref::Particle> in = randomParticles(997);
    for (ref::Particle& p : in)
        p.isActive = 0;
    const std::vector<ref::Particle> got = stepParticles(gpu, in, {}, 6.0f, 1.0f);
    EXPECT_EQ(got[0].lastSpawnedID, 3u);
    for (uint32_t i = 1; i < 1000; ++i)
        EXPECT_EQ(got[i].isActive != 0, i >= 997) << i;
    // Spawned with speed 5 x partikelfart plus up to 2.5 either way, heading left from x = 1.
    for (uint32_t i = 997; i < 1000; ++i) {
        EXPECT_EQ(got[i].position[0], 1.0f);
        EXPECT_EQ(got[i].direction[0], -1.0f);
        EXPECT_NEAR(got[i].speed[0], 5.0f + ref::rand1000(1234 + i) * 5 - 2.5f, 1e-5f);
        EXPECT_NEAR(got[i].position[1], ref::spawnY(i), 1e-4f);
    }
}

TEST_F(ComputePrograms, ParticleCountsBelowOneSpawnNothing) {
    std::vector<ref::Particle> in = randomParticles(10);
    for (ref::Particle& p : in)
        p.isActive = 0;
    for (float count : {0.0f, 0.99f, -3.0f}) {
        const std::vector<ref::Particle> got = stepParticles(gpu, in, {}, count, 1.0f);
        EXPECT_EQ(got[0].lastSpawnedID, 10u) << count;
        for (uint32_t i = 1; i < 1000; ++i)
            ASSERT_EQ(got[i].isActive, 0u) << i;
    }
}

// ---- message layout --------------------------------------------------------------------------

// The glyph table the build compiled into the layout program, read from its source.
std::vector<ref::Glyph> glyphTable() {
    std::ifstream f(QUAVEL_GLYPH_TABLES_PATH);
    std::stringstream text;
    text << f.rdbuf();
    const std::string s = text.str();
    const std::regex triple(R"((?:int3\s*\(|\{)\s*(-?\d+)\s*,\s*(-?\d+)\s*,\s*(-?\d+)\s*[\)\}])");
    std::vector<ref::Glyph> table;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), triple); it != std::sregex_iterator();
         ++it)
        table.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3])});
    return table;
}

TEST_F(ComputePrograms, MessageLayoutPlacesGlyphsEndToEndAndBacksUpAfterCode19) {
    const std::vector<ref::Glyph> table = glyphTable();
    ASSERT_EQ(table.size(), 98u);
    const size_t glyphs = 1569, threads = 197 * 8;

    std::mt19937 rng(99);
    std::vector<int32_t> codes(glyphs);
    for (int32_t& c : codes)
        c = int32_t(rng() % 98);
    // Code 19 alone, twice in a row, right at the start and as the last glyph.
    codes[0] = 19;
    codes[10] = 19;
    codes[20] = codes[21] = 19;
    codes[glyphs - 1] = 19;

    GpuBuffer message = gpu.structuredBuffer(codes.data(), 4, codes.size());
    std::vector<uint8_t> sentinel(threads * 36, 0xA5);
    GpuBuffer out = gpu.structuredBuffer(sentinel.data(), 36, threads);
    const ref::Vec2 res{1600, 900};
    const float fs = 3.0f;
    ContextBlock ctx;
    ctx.set("fontresizeX", fs);
    gpu.dispatch(SHADER(csMessageLayout), {message}, {out}, ctx, 197);

    const std::vector<uint8_t> bytes = gpu.read(out);
    std::vector<ref::CharData> got(threads);
    std::memcpy(got.data(), bytes.data(), threads * 36);
    const std::vector<ref::CharData> want = ref::messageLayout(codes, table, fs, res);
    for (size_t i = 0; i < glyphs; ++i) {
        for (int k = 0; k < 4; ++k) {
            ASSERT_NEAR(got[i].quadScaleBias[k], want[i].quadScaleBias[k], 1e-5f) << i;
            ASSERT_EQ(got[i].uvScaleBias[k], want[i].uvScaleBias[k]) << i;
        }
        ASSERT_EQ(got[i].atlasId, want[i].atlasId) << i;
    }
    // Glyph 11 follows a code 19: its pen is one standard width further left.
    const float pen11 =
        (want[11].quadScaleBias[2] - (table[codes[11]].width - 180) * fs / 3200) * 1600;
    const float pen10 =
        (want[10].quadScaleBias[2] - (table[codes[10]].width - 180) * fs / 3200) * 1600;
    EXPECT_NEAR(pen11 - pen10, (table[19].width - 180) * fs, 1e-2f);
    // Threads past the message wrote nothing.
    for (size_t i = glyphs * 36; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0xA5) << "byte " << i;
}

} // namespace
