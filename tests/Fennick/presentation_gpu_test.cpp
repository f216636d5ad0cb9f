// A small graph run for several frames through finalize and executeFrame: a compute pass
// keeps a frame counter in a double-buffered buffer, a draw pass paints a pattern from it
// and a parameter, a second draw pass scales that picture by another parameter into the
// graph's output, and the engine's final pass presents it upside down. The presented picture
// is read back and compared with the same arithmetic done on the CPU.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/frame_context.h"
#include "Fennick/frame_execution.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/texture_runtime.h"
#include "engine_device.h"
#include "test_shaders.h"

using namespace Fennick::gfx;
using namespace engine_test;

namespace {

constexpr uint32_t kWidth = 32; // pattern and output size
constexpr uint32_t kHeight = 16;

struct TestGraph {
    GraphRuntime graph;
    BufferRuntime counter;
    TextureRuntime pattern;
    TextureRuntime composed;
    ComputePassRuntime count;
    DrawPassRuntime paint;
    DrawPassRuntime scale;

    TestGraph() {
        BufferDesc counterDesc;
        counterDesc.stride = 4;
        counterDesc.countX = 1;
        counter.init(counterDesc, 1);
        TextureDesc textureDesc;
        textureDesc.width = kWidth;
        textureDesc.height = kHeight;
        textureDesc.format = FormatR32G32B32A32Float;
        pattern.init(textureDesc, 0);
        composed.init(textureDesc, 0);
        graph.resources.findOrInsert(0) = &counter;
        graph.resources.findOrInsert(1) = &pattern;
        graph.resources.findOrInsert(2) = &composed;

        ComputePassDesc countDesc;
        countDesc.shader = computeShader(csCounterState());
        countDesc.threadsX = 1;
        countDesc.threadsY = 1;
        countDesc.threadsZ = 0;
        countDesc.inputs = {{Buffer, &counter}};
        countDesc.outputs = {{Buffer, &counter}};
        count.create(countDesc);

        DrawPassDesc paintDesc;
        paintDesc.shader = graphicsShader(finalPassVertexShader(), psPattern());
        paintDesc.renderTargets = {{&pattern, 1}};
        paintDesc.inputs = {{Buffer, &counter}};
        paint.create(paintDesc);

        DrawPassDesc scaleDesc;
        scaleDesc.shader = graphicsShader(finalPassVertexShader(), psScaledCopy());
        scaleDesc.renderTargets = {{&composed, 1}};
        scaleDesc.inputs = {{Texture, &pattern}};
        scale.create(scaleDesc);

        graph.computePasses.findOrInsert(0) = &count;
        graph.drawPasses.findOrInsert(0) = &paint;
        graph.drawPasses.findOrInsert(1) = &scale;
        graph.passes.push_back({PassKind::Compute, nullptr, &count});
        graph.passes.push_back({PassKind::Draw, &paint, nullptr});
        graph.passes.push_back({PassKind::Draw, &scale, nullptr});
        graph.params.set({makeFloatParam("p0", 0.0f), makeFloatParam("p1", 0.0f)});
        graph.output = &composed;
        graph.firstFrame = 1;
    }
};

void setValue(GraphRuntime& graph, size_t index, float value) {
    std::memcpy(graph.params.list[index].value, &value, sizeof value);
}

// Where a pixel centre at `position` of `extent` falls among `texels`, with the v-grows-
// upwards coordinate of the flipped full-screen triangle; false near a texel boundary,
// where rounding may go either way.
bool flippedTexel(uint32_t position, uint32_t extent, uint32_t texels, uint32_t& texel) {
    const double v = 1.0 - (position + 0.5) / extent;
    const double scaled = v * texels;
    if (std::fabs(scaled - std::round(scaled)) < 1e-3)
        return false;
    texel = uint32_t(std::floor(scaled));
    return true;
}

bool straightTexel(uint32_t position, uint32_t extent, uint32_t texels, uint32_t& texel) {
    const double scaled = (position + 0.5) / extent * texels;
    if (std::fabs(scaled - std::round(scaled)) < 1e-3)
        return false;
    texel = uint32_t(std::floor(scaled));
    return true;
}

// The pattern pass writes (u, v, counter / 8, p0) at texel (x, y), v growing upwards.
void patternTexel(uint32_t x, uint32_t y, uint32_t counter, float p0, float out[4]) {
    out[0] = (x + 0.5f) / kWidth;
    out[1] = 1.0f - (y + 0.5f) / kHeight;
    out[2] = counter * 0.125f;
    out[3] = p0;
}

} // namespace

TEST(EnginePresentation, FinalizedGraphPresentsItsOutputUpsideDownEveryFrame) {
    if (!engineDeviceReady())
        GTEST_SKIP() << "no Direct3D device";
    TestGraph test;
    test.graph.finalize(1.0f);
    ASSERT_EQ(test.graph.passes.size(), 4u);
    const PassEntry& finalEntry = test.graph.passes.back();
    ASSERT_EQ(finalEntry.kind, PassKind::Draw);
    ASSERT_NE(finalEntry.draw, nullptr);
    EXPECT_EQ(finalEntry.draw->desc.inputs.at(0).resource, &test.composed);
    TextureRuntime* presentation = test.graph.output;
    ASSERT_NE(presentation, nullptr);
    ASSERT_NE(presentation, &test.composed);
    EXPECT_EQ(finalEntry.draw->desc.renderTargets.at(0).texture, presentation);
    EXPECT_EQ(presentation->desc.width, 1600u);
    EXPECT_EQ(presentation->desc.height, 900u);
    EXPECT_EQ(presentation->desc.format, FormatR16G16B16A16Float);

    for (uint32_t frame = 0; frame < 4; ++frame) {
        ContextData in = {};
        in.time = frame * 0.02f;
        in.frame = frame;
        in.elapsedTime = 0.02f;
        in.resolution[0] = 1600.0f;
        in.resolution[1] = 900.0f;
        updateFrameContext(in);
        const float p0 = 0.25f * float(frame + 1);
        const float p1 = 2.0f - 0.5f * float(frame);
        setValue(test.graph, 0, p0);
        setValue(test.graph, 1, p1);
        EXPECT_EQ(test.graph.executeFrame(), presentation);

        // The counter pass wrote frame + 1; the paint pass read last frame's copy.
        EXPECT_EQ(readBufferAs<uint32_t>(test.counter.getResource(true)).at(0), frame + 1);
        const uint32_t counterSeen = frame;

        const TexturePixels shown = readTexture2D(presentation->resourceA);
        ASSERT_EQ(shown.width, 1600u);
        ASSERT_EQ(shown.height, 900u);
        int mismatches = 0, compared = 0;
        for (uint32_t y = 0; y < 900; y += 7) {
            uint32_t composedRow = 0, patternRow = 0;
            if (!flippedTexel(y, 900, kHeight, composedRow) ||
                !flippedTexel(composedRow, kHeight, kHeight, patternRow))
                continue;
            for (uint32_t x = 0; x < 1600; x += 5) {
                uint32_t column = 0;
                if (!straightTexel(x, 1600, kWidth, column))
                    continue;
                float expected[4];
                patternTexel(column, patternRow, counterSeen, p0, expected);
                float actual[4];
                texelRgba(shown, x, y, actual);
                ++compared;
                for (int c = 0; c < 4; ++c) {
                    // The presentation texture holds half floats: 11 significant bits.
                    const float want = expected[c] * p1;
                    if (std::fabs(actual[c] - want) > 1e-3f * std::fmax(1.0f, std::fabs(want))) {
                        if (++mismatches <= 5)
                            ADD_FAILURE()
                                << "frame " << frame << " pixel (" << x << ", " << y << ") channel "
                                << c << ": " << actual[c] << " instead of " << want;
                    }
                }
            }
        }
        EXPECT_GT(compared, 30000);
        EXPECT_EQ(mismatches, 0) << "frame " << frame;
    }
}
