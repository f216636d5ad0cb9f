// Dispatches through the layer: structured buffers of the show's element sizes, a buffer
// whose stride differs from the shader's element, ordering between dispatches and draws,
// storage images of several formats and dimensions, and a compute-and-draw program.
#include <cmath>
#include <cstring>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

struct Element80 {
    float v[16];
    uint32_t flags;
    int32_t signedValue;
    float pair[2];
};
static_assert(sizeof(Element80) == 80, "the shader's 80-byte element");

float transform(float x, uint32_t i, uint32_t k, float offset) {
    return 2 * x + float(i) + float(k) * 0.25f + offset;
}

TEST(Compute, StructuredElementsOf12_36_48And80BytesAndIntsAreReadAndWrittenByMember) {
    REQUIRE_DEVICE();
    const uint32_t count = 13; // two groups of 8, the second one partly idle
    const float offset = 0.5f;
    const UINT floats[] = {3, 9, 12};
    std::vector<std::vector<float>> inputs;
    for (UINT n : floats) {
        std::vector<float> values(n * count);
        for (size_t j = 0; j < values.size(); ++j) {
            values[j] = float(j % 7) - 2.5f + float(j) * 0.125f;
        }
        inputs.push_back(values);
    }
    std::vector<Element80> wide(count);
    std::vector<int32_t> ints(count);
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t k = 0; k < 16; ++k) {
            wide[i].v[k] = float(i * 16 + k) / 3.0f;
        }
        wide[i].flags = 0x12340000u + i;
        wide[i].signedValue = int32_t(i) * 1000 - 5000;
        wide[i].pair[0] = float(i);
        wide[i].pair[1] = -float(i);
        ints[i] = int32_t(i * i) - 40;
    }
    Com<ID3D11Buffer> in[5] = {
        makeStructured(12, count, inputs[0].data()), makeStructured(36, count, inputs[1].data()),
        makeStructured(48, count, inputs[2].data()), makeStructured(80, count, wide.data()),
        makeStructured(4, count, ints.data())};
    const UINT strides[5] = {12, 36, 48, 80, 4};
    std::vector<Com<ID3D11Buffer>> out;
    std::vector<Com<ID3D11ShaderResourceView>> srvs;
    std::vector<Com<ID3D11UnorderedAccessView>> uavs;
    for (int b = 0; b < 5; ++b) {
        out.push_back(makeStructured(strides[b], count));
        srvs.push_back(makeSrv(in[b].get()));
        uavs.push_back(makeUav(out.back().get()));
    }
    TestParams params;
    params.params[0] = offset;
    params.count = count;
    Com<ID3D11Buffer> constants = makeConstants(params);
    Com<ID3D11ComputeShader> shader = TEST_CS(csStructs);
    std::vector<ID3D11ShaderResourceView*> srvList;
    std::vector<ID3D11UnorderedAccessView*> uavList;
    for (int b = 0; b < 5; ++b) {
        srvList.push_back(srvs[b].get());
        uavList.push_back(uavs[b].get());
    }
    dispatch(shader.get(), constants.get(), srvList, uavList, 2);

    for (int b = 0; b < 3; ++b) {
        std::vector<float> result = readBufferAs<float>(out[b].get());
        ASSERT_EQ(inputs[b].size(), result.size());
        for (uint32_t i = 0; i < count; ++i) {
            for (uint32_t k = 0; k < floats[b]; ++k) {
                size_t at = i * floats[b] + k; // byte offset (i * stride + 4 k) / 4
                EXPECT_FLOAT_EQ(transform(inputs[b][at], i, k, offset), result[at])
                    << strides[b] << "-byte element " << i << " member " << k;
            }
        }
    }
    std::vector<Element80> wideOut = readBufferAs<Element80>(out[3].get());
    std::vector<int32_t> intsOut = readBufferAs<int32_t>(out[4].get());
    ASSERT_EQ(count, wideOut.size());
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t k = 0; k < 16; ++k) {
            EXPECT_FLOAT_EQ(transform(wide[i].v[k], i, k, offset), wideOut[i].v[k]);
        }
        EXPECT_EQ((wide[i].flags ^ 0xffffu) + i, wideOut[i].flags);
        EXPECT_EQ(-wide[i].signedValue - int32_t(i), wideOut[i].signedValue);
        EXPECT_EQ(wide[i].pair[1], wideOut[i].pair[0]);
        EXPECT_EQ(wide[i].pair[0], wideOut[i].pair[1]);
        EXPECT_EQ(ints[i] * -3 + int32_t(i), intsOut[i]);
    }
}

TEST(Compute, ABufferWithALargerStrideThanTheShadersElementIsAddressedByTheElement) {
    REQUIRE_DEVICE();
    // The show writes and reads 36-byte elements through a buffer made with stride 48.
    const uint32_t count = 10;
    Com<ID3D11Buffer> buffer = makeStructured(48, count);
    Com<ID3D11Buffer> sums = makeStructured(4, count);
    Com<ID3D11UnorderedAccessView> bufferUav = makeUav(buffer.get());
    Com<ID3D11ShaderResourceView> bufferSrv = makeSrv(buffer.get());
    Com<ID3D11UnorderedAccessView> sumsUav = makeUav(sums.get());
    TestParams params;
    params.count = count;
    Com<ID3D11Buffer> constants = makeConstants(params);
    Com<ID3D11ComputeShader> write = TEST_CS(csStrideWrite);
    Com<ID3D11ComputeShader> read = TEST_CS(csStrideRead);
    dispatch(write.get(), constants.get(), {}, {bufferUav.get()}, 2);
    dispatch(read.get(), constants.get(), {bufferSrv.get()}, {sumsUav.get()}, 2);

    std::vector<float> raw = readBufferAs<float>(buffer.get());
    ASSERT_EQ(count * 12, raw.size());
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t k = 0; k < 9; ++k) {
            EXPECT_EQ(10.0f * i + k, raw[i * 9 + k]) << "element " << i << " member " << k;
        }
    }
    // The bytes past the 36-byte elements stay as created (zero).
    for (size_t j = count * 9; j < raw.size(); ++j) {
        EXPECT_EQ(0.0f, raw[j]);
    }
    std::vector<float> total = readBufferAs<float>(sums.get());
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(90.0f * i + 36.0f, total[i]) << "element " << i;
    }
}

TEST(Compute, EachDispatchSeesTheWritesOfThePreviousOne) {
    REQUIRE_DEVICE();
    const uint32_t count = 20;
    std::vector<uint32_t> start(count, 1000);
    Com<ID3D11Buffer> totals = makeStructured(4, count, start.data());
    Com<ID3D11UnorderedAccessView> view = makeUav(totals.get());
    TestParams params;
    params.count = count;
    Com<ID3D11Buffer> constants = makeConstants(params);
    Com<ID3D11ComputeShader> shader = TEST_CS(csAccumulate);
    for (int run = 0; run < 3; ++run) {
        dispatch(shader.get(), constants.get(), {}, {view.get()}, 3);
    }
    std::vector<uint32_t> result = readBufferAs<uint32_t>(totals.get());
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(1000 + 3 * (i + 1), result[i]);
    }
}

TEST(Compute, StorageImagesTakeTheFormatOfTheBoundView) {
    REQUIRE_DEVICE();
    const UINT size = 8;
    Com<ID3D11Texture3D> volume;
    D3D11_TEXTURE3D_DESC volumeDesc = {size,
                                       size,
                                       size,
                                       1,
                                       DXGI_FORMAT_R32G32B32A32_FLOAT,
                                       D3D11_USAGE_DEFAULT,
                                       colourBinds & ~D3D11_BIND_RENDER_TARGET,
                                       0,
                                       0};
    ASSERT_EQ(S_OK, device()->CreateTexture3D(&volumeDesc, nullptr, volume.out()));
    Com<ID3D11Texture1D> ramp;
    D3D11_TEXTURE1D_DESC rampDesc = {size,
                                     1,
                                     1,
                                     DXGI_FORMAT_R16G16B16A16_FLOAT,
                                     D3D11_USAGE_DEFAULT,
                                     colourBinds & ~D3D11_BIND_RENDER_TARGET,
                                     0,
                                     0};
    ASSERT_EQ(S_OK, device()->CreateTexture1D(&rampDesc, nullptr, ramp.out()));
    Com<ID3D11UnorderedAccessView> volumeView = makeUav(volume.get());
    Com<ID3D11UnorderedAccessView> rampView = makeUav(ramp.get());
    Com<ID3D11ComputeShader> shader = TEST_CS(csImages);
    TestParams params;
    params.params[0] = 0.75f;
    Com<ID3D11Buffer> constants = makeConstants(params);
    for (DXGI_FORMAT format : {DXGI_FORMAT_R32G32B32A32_FLOAT, DXGI_FORMAT_R16G16B16A16_FLOAT}) {
        Com<ID3D11Texture2D> plane = makeTexture2D(size, size, format, colourBinds);
        Com<ID3D11UnorderedAccessView> planeView = makeUav(plane.get());
        dispatch(shader.get(), constants.get(), {},
                 {planeView.get(), volumeView.get(), rampView.get()}, 1, 1, size);
        Pixels pixels = readTexture2D(plane.get());
        for (UINT y = 0; y < size; ++y) {
            for (UINT x = 0; x < size; ++x) {
                float rgba[4];
                for (int k = 0; k < 4; ++k) {
                    rgba[k] = format == DXGI_FORMAT_R32G32B32A32_FLOAT
                                  ? pixels.at<float>(x, y, k)
                                  : halfToFloat(pixels.at<uint16_t>(x, y, k));
                }
                EXPECT_EQ(float(x), rgba[0]) << "format " << format;
                EXPECT_EQ(float(y), rgba[1]);
                EXPECT_EQ(float(x * y), rgba[2]);
                EXPECT_EQ(0.75f, rgba[3]);
            }
        }
    }
    std::vector<uint8_t> voxels = readTexture3D(volume.get());
    ASSERT_EQ(size * size * size * 16, voxels.size());
    for (UINT z = 0; z < size; ++z) {
        for (UINT y = 0; y < size; ++y) {
            for (UINT x = 0; x < size; ++x) {
                float texel[4];
                std::memcpy(texel, voxels.data() + ((z * size + y) * size + x) * 16, 16);
                EXPECT_EQ(float(x), texel[0]);
                EXPECT_EQ(float(y), texel[1]);
                EXPECT_EQ(float(z), texel[2]);
            }
        }
    }
    std::vector<uint8_t> line = readTexture1D(ramp.get());
    ASSERT_EQ(size * 8, line.size());
    for (UINT x = 0; x < size; ++x) {
        uint16_t texel[4];
        std::memcpy(texel, line.data() + x * 8, 8);
        EXPECT_EQ(float(x), halfToFloat(texel[0]));
        EXPECT_EQ(float(2 * x), halfToFloat(texel[1]));
    }
}

// The layer's end-to-end proof: a kernel computes bar heights, a draw reads them as a
// structured buffer, and the picture matches the same formula evaluated here.
TEST(Compute, AComputeAndDrawProgramMatchesTheCpu) {
    REQUIRE_DEVICE();
    const uint32_t bars = 16;
    const UINT width = 64, height = 48;
    TestParams params;
    params.params[0] = 0.3f;
    params.count = bars;
    Com<ID3D11Buffer> constants = makeConstants(params);
    Com<ID3D11Buffer> heights = makeStructured(4, bars);
    Com<ID3D11UnorderedAccessView> heightsOut = makeUav(heights.get());
    Com<ID3D11ShaderResourceView> heightsIn = makeSrv(heights.get());
    Com<ID3D11ComputeShader> wave = TEST_CS(csWave);
    dispatch(wave.get(), constants.get(), {}, {heightsOut.get()}, 2);

    Com<ID3D11Texture2D> target =
        makeTexture2D(width, height, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    const float clear[4] = {0, 0, 0, 0};
    context()->ClearRenderTargetView(view.get(), clear);
    Com<ID3D11VertexShader> vs = TEST_VS(vsBars);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    D3D11_RASTERIZER_DESC noCullingDesc = {
        D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    Com<ID3D11RasterizerState> noCulling;
    ASSERT_EQ(S_OK, device()->CreateRasterizerState(&noCullingDesc, noCulling.out()));
    context()->RSSetState(noCulling.get());
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {view.get()};
    setup.inputs = {heightsIn.get()};
    setup.constants = constants.get();
    setup.width = width;
    setup.height = height;
    setup.vertexCount = 6;
    setup.instanceCount = bars;
    draw(setup);
    context()->RSSetState(nullptr);

    std::vector<float> computed = readBufferAs<float>(heights.get());
    ASSERT_EQ(bars, computed.size());
    for (uint32_t i = 0; i < bars; ++i) {
        EXPECT_NEAR(0.5f + 0.45f * std::sin(0.7f * float(i) + 0.3f), computed[i], 1e-5f) << i;
    }
    Pixels pixels = readTexture2D(target.get());
    int compared = 0;
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            uint32_t bar = x * bars / width;
            float h = 0.5f + 0.45f * std::sin(0.7f * float(bar) + 0.3f);
            // Row y's centre in clip space; the bar covers clip y below -1 + 2 h.
            float clipY = 1.0f - 2.0f * (float(y) + 0.5f) / float(height);
            float edge = -1.0f + 2.0f * h;
            if (std::fabs(clipY - edge) < 2.0f / float(height)) {
                continue; // the rasteriser's rounding decides pixels on the top edge
            }
            bool covered = clipY < edge;
            ++compared;
            EXPECT_NEAR(covered ? h : 0.0f, pixels.at<float>(x, y, 0), 1e-5f) << x << ", " << y;
            EXPECT_FLOAT_EQ(covered ? float(bar) / bars : 0.0f, pixels.at<float>(x, y, 1));
            EXPECT_EQ(covered ? 1.0f : 0.0f, pixels.at<float>(x, y, 3));
        }
    }
    EXPECT_GT(compared, int(width * height * 3 / 4));
}

} // namespace
} // namespace d3d11_test
