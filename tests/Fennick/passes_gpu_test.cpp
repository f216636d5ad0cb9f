// Passes and frames on the device: copy roles of double-buffered resources, dispatch sizes,
// run conditions, the ContextBuffer upload and its re-creation, blending, skipped passes and
// the start-up check of refused bytecode and the missing depth view that stops the process.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "Fennick/buffer_data_runtime.h"
#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/creation_check.h"
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

class EnginePasses : public ::testing::Test {
protected:
    void SetUp() override {
        if (!engineDeviceReady())
            GTEST_SKIP() << "no Direct3D device";
        ContextData start = {};
        start.resolution[0] = 1600.0f;
        start.resolution[1] = 900.0f;
        updateFrameContext(start);
    }

    // Objects of the graph live as long as the test.
    template <typename T> T* keep(T* object) {
        owned_.emplace_back(object, [](void* p) { delete static_cast<T*>(p); });
        return object;
    }

    BufferRuntime* uintBuffer(uint32_t count, uint8_t doubleBuffered,
                              const void* initial = nullptr) {
        BufferDesc desc;
        desc.stride = 4;
        desc.countX = count;
        desc.initialData = initial;
        auto* buffer = keep(new BufferRuntime());
        buffer->init(desc, doubleBuffered);
        return buffer;
    }

    TextureRuntime* texture(uint32_t width, uint32_t height, TextureFormat format,
                            uint8_t mipmaps = 0) {
        TextureDesc desc;
        desc.width = width;
        desc.height = height;
        desc.format = format;
        desc.mipmaps = mipmaps;
        auto* t = keep(new TextureRuntime());
        t->init(desc, 0);
        return t;
    }

    ComputePassRuntime* computePass(ShaderBytecode kernel, uint32_t x, uint32_t y, uint32_t z,
                                    std::vector<ResourceBinding> inputs,
                                    std::vector<ResourceBinding> outputs,
                                    RunCondition condition = EveryFrame) {
        ComputePassDesc desc;
        desc.shader = computeShader(kernel);
        desc.threadsX = x;
        desc.threadsY = y;
        desc.threadsZ = z;
        desc.runCondition = condition;
        desc.inputs = std::move(inputs);
        desc.outputs = std::move(outputs);
        auto* pass = keep(new ComputePassRuntime());
        pass->create(std::move(desc));
        return pass;
    }

    DrawPassRuntime* colourPass(TextureRuntime* target, uint8_t blend, BlendMode mode,
                                const float clearColor[4]) {
        DrawPassDesc desc;
        desc.shader = graphicsShader(finalPassVertexShader(), psParamColour());
        desc.blend = blend;
        desc.blendMode = mode;
        for (int i = 0; i < 4; ++i)
            desc.clearColor[i] = clearColor[i];
        desc.renderTargets.push_back({target, 1});
        auto* pass = keep(new DrawPassRuntime());
        pass->create(std::move(desc));
        return pass;
    }

    static void setParams(GraphRuntime& graph, std::initializer_list<float> values) {
        std::vector<ParamDesc> list;
        const char* names[] = {"p0", "p1", "p2", "p3"};
        size_t i = 0;
        for (float v : values)
            list.push_back(makeFloatParam(names[i++], v));
        graph.params.set(list);
    }

    static void addCompute(GraphRuntime& graph, ComputePassRuntime* pass) {
        graph.passes.push_back({PassKind::Compute, nullptr, pass});
    }
    static void addDraw(GraphRuntime& graph, DrawPassRuntime* pass) {
        graph.passes.push_back({PassKind::Draw, pass, nullptr});
    }

private:
    std::vector<std::unique_ptr<void, void (*)(void*)>> owned_;
};

ResourceBinding bufferBinding(Resource* resource) {
    return {Buffer, resource};
}

} // namespace

TEST_F(EnginePasses, DoubleBufferedBufferIsReadThroughOneCopyAndWrittenThroughTheOther) {
    const uint32_t copyA[4] = {1, 2, 3, 4};
    BufferRuntime* state = uintBuffer(4, 1, copyA);
    const uint32_t copyB[4] = {10, 20, 30, 40};
    writeBuffer(state->bufferB, copyB);
    const uint32_t one = 1;
    BufferRuntime* step = uintBuffer(1, 0, &one);

    GraphRuntime graph;
    graph.resources.findOrInsert(0) = state;
    graph.resources.findOrInsert(1) = step;
    addCompute(graph,
               computePass(csPingPong(), 4, 1, 1, {bufferBinding(state), bufferBinding(step)},
                           {bufferBinding(state)}));
    graph.firstFrame = 1;

    graph.executeFrame(); // frame 0 reads B, writes A
    EXPECT_EQ(readBufferAs<uint32_t>(state->bufferA), (std::vector<uint32_t>{21, 41, 61, 81}));
    EXPECT_EQ(readBufferAs<uint32_t>(state->bufferB), (std::vector<uint32_t>{10, 20, 30, 40}));
    EXPECT_EQ(state->swapped, 1);
    EXPECT_EQ(step->swapped, 0);

    graph.executeFrame(); // frame 1 reads A, writes B
    EXPECT_EQ(readBufferAs<uint32_t>(state->bufferB), (std::vector<uint32_t>{43, 83, 123, 163}));
    EXPECT_EQ(readBufferAs<uint32_t>(state->bufferA), (std::vector<uint32_t>{21, 41, 61, 81}));
    EXPECT_EQ(state->swapped, 0);
}

TEST_F(EnginePasses, DispatchUsesGroupsOfEightPerAxisAndAtLeastOne) {
    struct Case {
        uint32_t x, y, z;
        std::vector<uint32_t> groups; // per axis, then the total
    };
    const Case cases[] = {
        {1000, 1, 1, {125, 1, 1, 125}},
        {1, 1, 0, {1, 1, 1, 1}},
        {1001, 1, 1, {126, 1, 1, 126}},
        {17, 9, 8, {3, 2, 1, 6}},
    };
    for (const Case& c : cases) {
        const uint32_t zeros[4] = {};
        BufferRuntime* groups = uintBuffer(4, 0, zeros);
        ComputePassRuntime* pass =
            computePass(csGroupCount(), c.x, c.y, c.z, {}, {bufferBinding(groups)});
        const std::vector<uint8_t> block(608, 0);
        executeComputePass(*pass, block.data(), 608);
        EXPECT_EQ(readBufferAs<uint32_t>(groups->bufferA), c.groups)
            << "threads " << c.x << " x " << c.y << " x " << c.z;
    }
}

TEST_F(EnginePasses, RunConditionsSelectFramesAndUnknownKindsAreSkipped) {
    const uint32_t zero = 0;
    BufferRuntime* every = uintBuffer(1, 0, &zero);
    BufferRuntime* first = uintBuffer(1, 0, &zero);
    BufferRuntime* never = uintBuffer(1, 0, &zero);
    BufferRuntime* unknownKind = uintBuffer(1, 0, &zero);

    GraphRuntime graph;
    addCompute(graph, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(every)}, EveryFrame));
    addCompute(graph, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(first)}, FirstFrame));
    addCompute(graph,
               computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(never)}, RunCondition(2)));
    ComputePassRuntime* odd = computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(unknownKind)});
    graph.passes.push_back({PassKind(7), nullptr, odd});
    graph.firstFrame = 1;

    for (int frame = 0; frame < 3; ++frame) {
        graph.executeFrame();
        EXPECT_EQ(graph.firstFrame, 0);
    }
    EXPECT_EQ(readBufferAs<uint32_t>(every->bufferA)[0], 3u);
    EXPECT_EQ(readBufferAs<uint32_t>(first->bufferA)[0], 1u);
    EXPECT_EQ(readBufferAs<uint32_t>(never->bufferA)[0], 0u);
    EXPECT_EQ(readBufferAs<uint32_t>(unknownKind->bufferA)[0], 0u);
}

TEST_F(EnginePasses, ShadersSeeTheBuiltInsAndPackedParameters) {
    const float zeros[9] = {};
    BufferDesc desc;
    desc.stride = 4;
    desc.countX = 9;
    desc.initialData = zeros;
    auto* probe = keep(new BufferRuntime());
    probe->init(desc, 0);

    GraphRuntime graph;
    setParams(graph, {0.25f, 2.0f, 3.0f, -7.5f});
    addCompute(graph, computePass(csContextProbe(), 1, 1, 1, {}, {bufferBinding(probe)}));

    ContextData in = {};
    in.time = 12.5f;
    in.frame = 42;
    in.elapsedTime = 0.02f;
    in.resolution[0] = 1600.0f;
    in.resolution[1] = 900.0f;
    for (int i = 0; i < 16; ++i)
        in.modelView.m[i] = float(i + 1);
    updateFrameContext(in);
    graph.executeFrame();

    const std::vector<float> seen = readBufferAs<float>(probe->bufferA);
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen[0], 12.5f);
    EXPECT_EQ(seen[1], 42.0f);
    EXPECT_EQ(seen[2], 0.02f);
    EXPECT_FLOAT_EQ(seen[3], 1.7777778f);
    EXPECT_EQ(seen[4], 1600.0f);
    EXPECT_FLOAT_EQ(seen[5], 1.0f / 900.0f);
    EXPECT_EQ(seen[6], 13.0f); // row 3, column 0: stored row by row, not transposed
    EXPECT_EQ(seen[7], 0.25f);
    EXPECT_EQ(seen[8], -7.5f);
    EXPECT_EQ(frameContext().bufferDesc.stride, 624u);
}

TEST_F(EnginePasses, ConstantBufferIsSizedToTheBlockAndRecreatedOncePerFrame) {
    GraphRuntime graph;
    std::vector<ParamDesc> params;
    for (int i = 0; i < 31; ++i)
        params.push_back(makeFloatParam(("param" + std::to_string(i)).c_str(), float(i)));
    graph.params.set(params);
    const uint32_t zero = 0;
    BufferRuntime* runs = uintBuffer(1, 0, &zero);
    addCompute(graph, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(runs)}));
    addCompute(graph, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(runs)}));

    FrameContext& fc = frameContext();
    for (int frame = 0; frame < 2; ++frame) {
        updateFrameContext(frameContextData());
        EXPECT_EQ(fc.bufferDesc.stride, 608u);
        // Holding a reference keeps the old buffer's address from being reused.
        ID3D11Buffer* before = fc.buffer.bufferA;
        if (before)
            before->AddRef();
        graph.executeFrame();
        EXPECT_EQ(fc.bufferDesc.stride, 736u);
        ASSERT_NE(fc.buffer.bufferA, nullptr);
        EXPECT_NE(fc.buffer.bufferA, before) << "frame " << frame;
        D3D11_BUFFER_DESC d = {};
        fc.buffer.bufferA->GetDesc(&d);
        EXPECT_EQ(d.ByteWidth, 736u);
        EXPECT_EQ(d.BindFlags, UINT(D3D11_BIND_CONSTANT_BUFFER));
        if (before)
            before->Release();
    }

    // Within a frame a block of the recorded size is uploaded into the same buffer.
    ID3D11Buffer* current = fc.buffer.bufferA;
    const std::vector<uint8_t> block(736, 0);
    uploadContextBuffer(block.data(), 736);
    EXPECT_EQ(fc.buffer.bufferA, current);
    EXPECT_EQ(readBufferAs<uint32_t>(runs->bufferA)[0], 4u);

    GraphRuntime empty;
    empty.params.set({});
    addCompute(empty, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(runs)}));
    updateFrameContext(frameContextData());
    empty.executeFrame();
    // The recorded size already says 608, but the buffer is still 736 bytes long: it must be
    // re-created, or the upload would read 736 bytes from a 608-byte block.
    ASSERT_NE(fc.buffer.bufferA, nullptr);
    D3D11_BUFFER_DESC d = {};
    fc.buffer.bufferA->GetDesc(&d);
    EXPECT_EQ(d.ByteWidth, 608u);
}

TEST_F(EnginePasses, FrameWithoutRunningPassesLeavesTheConstantBufferAlone) {
    const uint32_t zero = 0;
    BufferRuntime* runs = uintBuffer(1, 0, &zero);
    GraphRuntime graph;
    setParams(graph, {1.0f});
    addCompute(graph, computePass(csCountRuns(), 1, 1, 1, {}, {bufferBinding(runs)}, FirstFrame));
    graph.firstFrame = 1;
    graph.executeFrame();

    FrameContext& fc = frameContext();
    updateFrameContext(frameContextData());
    ID3D11Buffer* before = fc.buffer.bufferA;
    graph.executeFrame();
    EXPECT_EQ(fc.bufferDesc.stride, 608u);
    EXPECT_EQ(fc.buffer.bufferA, before);
    EXPECT_EQ(readBufferAs<uint32_t>(runs->bufferA)[0], 1u);
}

TEST_F(EnginePasses, BlendModesCombineAlphaAsDescribed) {
    const float destination[4] = {0.2f, 0.4f, 0.6f, 0.5f};
    struct Case {
        uint8_t blend;
        BlendMode mode;
        float expected[4];
    };
    // Source (0.8, 0.4, 1, 0.25) over a target cleared to (0.2, 0.4, 0.6, 0.5): additive sums;
    // alpha over weighs the colours 1/4 and 3/4 and keeps src x (1 - dst alpha) + dst alpha;
    // alpha replace takes the source alpha; without blending the source is written.
    const Case cases[] = {
        {1, BlendAdditive, {1.0f, 0.8f, 1.6f, 0.75f}},
        {1, BlendAlphaOver, {0.35f, 0.4f, 0.7f, 0.625f}},
        {1, BlendAlphaReplace, {0.35f, 0.4f, 0.7f, 0.25f}},
        {0, BlendAlphaOver, {0.8f, 0.4f, 1.0f, 0.25f}},
    };
    for (const Case& c : cases) {
        TextureRuntime* target = texture(8, 8, FormatR32G32B32A32Float);
        GraphRuntime graph;
        setParams(graph, {0.8f, 0.4f, 1.0f, 0.25f});
        addDraw(graph, colourPass(target, c.blend, c.mode, destination));
        graph.executeFrame();
        const TexturePixels pixels = readTexture2D(target->resourceA);
        float rgba[4];
        texelRgba(pixels, 3, 5, rgba);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(rgba[i], c.expected[i], 1e-6) << "mode " << c.mode << " channel " << i;
    }
}

TEST_F(EnginePasses, TheSixSharedSamplersFilterAndAddressAsTheirTableSays) {
    // The frame context's samplers, bound once at start-up, sample a 2 x 2 texture whose red
    // is 1 2 / 3 4 (row 0 on top); the engine binds no sampler of its own.
    TextureRuntime* square = texture(2, 2, FormatR32G32B32A32Float);
    const float texels[4][4] = {{1, 0, 0, 1}, {2, 0, 0, 1}, {3, 0, 0, 1}, {4, 0, 0, 1}};
    square->upload(texels, 2, 2, 16);
    // A 4 x 4 texture with its mip chain, red 0 to 15: level 2 holds the mean, 7.5.
    TextureRuntime* chain = texture(4, 4, FormatR32G32B32A32Float, 1);
    float ramp[16][4] = {};
    for (int i = 0; i < 16; ++i)
        ramp[i][0] = float(i);
    chain->upload(ramp, 4, 4, 16);
    chain->generateMips();
    struct Probe {
        TextureRuntime* source;
        float u, v, level;
        float expected[6]; // linear clamp, border, wrap; point clamp, border, wrap
    };
    // Texel coordinates are u x 2 - 0.5: 0.55 lies 0.6 of the way from texel 0 to 1; -0.25
    // and 1.3 lie outside, where clamping, the transparent border and wrapping differ; 1.8
    // tells clamping from mirroring.
    const Probe probes[] = {
        {square, 0.25f, 0.25f, 0, {1, 1, 1, 1, 1, 1}},
        {square, 0.55f, 0.25f, 0, {1.6f, 1.6f, 1.6f, 2, 2, 2}},
        {square, 0.25f, 0.55f, 0, {2.2f, 2.2f, 2.2f, 3, 3, 3}},
        {square, -0.25f, 0.25f, 0, {1, 0, 2, 1, 0, 2}},
        {square, 1.3f, 0.75f, 0, {4, 0, 3.1f, 4, 0, 3}},
        {square, 1.8f, 0.75f, 0, {4, 0, 3.9f, 4, 0, 4}},
        {chain, 0.5f, 0.5f, 2, {7.5f, 7.5f, 7.5f, 7.5f, 7.5f, 7.5f}},
    };
    for (const Probe& p : probes) {
        DrawPassDesc desc;
        desc.shader = graphicsShader(finalPassVertexShader(), psSixSamplers());
        std::vector<TextureRuntime*> targets;
        for (int s = 0; s < 6; ++s) {
            targets.push_back(texture(1, 1, FormatR32G32B32A32Float));
            desc.renderTargets.push_back({targets.back(), 1});
        }
        desc.inputs = {{Texture, p.source}};
        auto* pass = keep(new DrawPassRuntime());
        pass->create(std::move(desc));
        GraphRuntime graph;
        setParams(graph, {p.u, p.v, p.level});
        addDraw(graph, pass);
        graph.executeFrame();
        for (int s = 0; s < 6; ++s) {
            float rgba[4];
            texelRgba(readTexture2D(targets[s]->resourceA), 0, 0, rgba);
            EXPECT_NEAR(rgba[0], p.expected[s], 0.02f)
                << "s" << s << " at " << p.u << "," << p.v << " level " << p.level;
        }
    }
}

TEST_F(EnginePasses, UnknownBlendModeDrawsWithoutBlending) {
    // The incomplete description is refused by the device; the pass then draws with the
    // default state, which writes the source unblended.
    const float grey[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    TextureRuntime* target = texture(4, 4, FormatR32G32B32A32Float);
    TextureRuntime* after = texture(4, 4, FormatR32G32B32A32Float);
    GraphRuntime graph;
    setParams(graph, {0.5f, 0.5f, 0.5f, 1.0f});
    addDraw(graph, colourPass(target, 1, BlendMode(9), grey));
    addDraw(graph, colourPass(after, 1, BlendAdditive, grey));
    graph.executeFrame();
    float rgba[4];
    texelRgba(readTexture2D(target->resourceA), 1, 1, rgba);
    EXPECT_EQ(rgba[0], 0.5f);
    texelRgba(readTexture2D(after->resourceA), 1, 1, rgba);
    EXPECT_EQ(rgba[0], 0.75f); // the next pass blends normally
}

TEST_F(EnginePasses, PassesWithoutShadersOrTargetsAreSkipped) {
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    TextureRuntime* target = texture(4, 4, FormatR32G32B32A32Float);

    DrawPassDesc noPixel;
    noPixel.shader = graphicsShader(finalPassVertexShader(), ShaderBytecode{nullptr, 0});
    noPixel.shader.stageKind = Compute; // creation makes it a graphics pass regardless
    noPixel.renderTargets.push_back({target, 1});
    for (int i = 0; i < 4; ++i)
        noPixel.clearColor[i] = red[i];
    auto* withoutPixel = keep(new DrawPassRuntime());
    withoutPixel->create(noPixel);
    EXPECT_EQ(withoutPixel->desc.shader.stageKind, Graphics);
    EXPECT_NE(withoutPixel->program.vertexShader, nullptr);
    EXPECT_EQ(withoutPixel->program.pixelShader, nullptr);

    DrawPassDesc noTargets;
    noTargets.shader = graphicsShader(finalPassVertexShader(), psParamColour());
    auto* withoutTargets = keep(new DrawPassRuntime());
    withoutTargets->create(noTargets);
    ASSERT_NE(withoutTargets->program.pixelShader, nullptr);

    ComputePassDesc noKernel;
    auto* withoutKernel = keep(new ComputePassRuntime());
    withoutKernel->create(noKernel);
    EXPECT_EQ(withoutKernel->program.computeShader, nullptr);

    const float zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    frameContext().context->ClearRenderTargetView(target->rtvA, zero);
    GraphRuntime graph;
    setParams(graph, {1.0f});
    addDraw(graph, withoutPixel);
    addDraw(graph, withoutTargets);
    addCompute(graph, withoutKernel);
    updateFrameContext(frameContextData());
    graph.executeFrame();
    EXPECT_EQ(frameContext().bufferDesc.stride, 608u); // nothing ran, nothing was uploaded
    float rgba[4];
    texelRgba(readTexture2D(target->resourceA), 0, 0, rgba);
    EXPECT_EQ(rgba[0], 0.0f); // not even cleared
}

TEST_F(EnginePasses, ComputeTextureOutputGetsItsMipsRebuilt) {
    TextureRuntime* target = texture(4, 4, FormatR32G32B32A32Float, 1);
    ASSERT_NE(target->uavA, nullptr);
    GraphRuntime graph;
    setParams(graph, {6.0f});
    addCompute(graph, computePass(csFillTexture(), 4, 4, 1, {}, {{Texture, target}}));
    graph.executeFrame();
    const TexturePixels level1 = readTexture2D(target->resourceA, 1);
    ASSERT_EQ(level1.width, 2u);
    float rgba[4];
    texelRgba(level1, 1, 0, rgba);
    // The box filter of texels x 2..3, y 0..1 of (x, y, 6, 1).
    EXPECT_NEAR(rgba[0], 2.5f, 1e-5);
    EXPECT_NEAR(rgba[1], 0.5f, 1e-5);
    EXPECT_NEAR(rgba[2], 6.0f, 1e-5);
}

using EnginePassesDeathTest = EnginePasses;

namespace {

void createComputePassFromGarbage() {
    static const uint8_t notBytecode[16] = {1, 2, 3};
    ComputePassDesc desc;
    desc.shader.computeCode = notBytecode;
    desc.shader.computeCodeSize = sizeof notBytecode;
    ComputePassRuntime pass;
    pass.create(desc);
}

} // namespace

// Refused bytecode is recorded by the start-up check, named, and nowhere else stops anything;
// a missing depth view still stops the process.
TEST_F(EnginePassesDeathTest, RefusedBytecodeIsNamedByTheCheckAndMissingDepthViewStops) {
    createComputePassFromGarbage(); // outside a check: not recorded, not fatal
    {
        CreationCheck check;
        EXPECT_TRUE(check.passed());
        setCreationSubject("compute pass 7");
        createComputePassFromGarbage();
        EXPECT_EQ(check.failures(), 1);
        EXPECT_TRUE(std::regex_match(check.firstFailure(),
                                     std::regex("CreateComputeShader for compute pass 7 \\(compute "
                                                "shader\\) failed: 0x8[0-9A-F]{7}( \\(.*\\))?")))
            << check.firstFailure();
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");

    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    TextureRuntime* colour = texture(4, 4, FormatR8G8B8A8Unorm);
    DrawPassRuntime* pass = colourPass(colour, 0, BlendAdditive, black);
    pass->desc.depth = 1;
    pass->desc.depthTarget.texture = colour; // a colour texture has no depth view
    const std::vector<uint8_t> block(608, 0);
    EXPECT_DEATH(executeDrawPass(*pass, block.data(), 608),
                 "Assertion failed: dephView, file gfx_directx_impl.cpp, line [0-9]+");
}
