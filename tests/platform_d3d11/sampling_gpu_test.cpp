// Sampling through the layer: thirteen textures in one pixel program with a texture through
// two samplers, and mip chains. The six shared samplers' filtering, addressing and level
// selection are checked through the engine's own table (tests/engine/passes_gpu_test.cpp).
#include <cstring>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

uint16_t half(float value) {
    // Exact for the small integers and halves these tests use.
    if (value == 0.0f) {
        return 0;
    }
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    uint32_t exponent = ((bits >> 23) & 0xff) - 127 + 15;
    return uint16_t(((bits >> 16) & 0x8000) | (exponent << 10) | ((bits >> 13) & 0x3ff));
}

TEST(Sampling, ThirteenTexturesAndOneThroughTwoSamplersReachOnePixelProgram) {
    REQUIRE_DEVICE();
    const uint32_t bits = 0xA5B;
    std::vector<Com<ID3D11Texture2D>> textures;
    std::vector<Com<ID3D11ShaderResourceView>> views;
    DrawSetup setup;
    for (int i = 0; i < 13; ++i) {
        uint16_t texel[4] = {half(float((bits >> i) & 1)), 0, 0, half(1)};
        if (i == 12) {
            const uint16_t last[4] = {half(5), half(6), half(7), half(8)};
            std::memcpy(texel, last, sizeof texel);
        }
        textures.push_back(
            makeTexture2D(1, 1, DXGI_FORMAT_R16G16B16A16_FLOAT, D3D11_BIND_SHADER_RESOURCE, texel));
        views.push_back(makeSrv(textures.back().get()));
        setup.inputs.push_back(views.back().get());
    }
    std::vector<Com<ID3D11SamplerState>> samplers = makeShowSamplers();
    std::vector<ID3D11SamplerState*> raw;
    for (const auto& sampler : samplers) {
        raw.push_back(sampler.get());
    }
    context()->PSSetSamplers(0, UINT(raw.size()), raw.data());
    Com<ID3D11Texture2D> weighted =
        makeTexture2D(1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11Texture2D> twice = makeTexture2D(1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> weightedView = makeRtv(weighted.get());
    Com<ID3D11RenderTargetView> twiceView = makeRtv(twice.get());
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsFullscreen);
    Com<ID3D11PixelShader> ps = TEST_PS(psThirteenTextures);
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {weightedView.get(), twiceView.get()};
    setup.constants = constants.get();
    setup.width = 1;
    setup.height = 1;
    context()->RSSetState(nullptr);
    draw(setup);
    Pixels first = readTexture2D(weighted.get());
    EXPECT_EQ(float(bits & 0xfff), first.at<float>(0, 0, 0));
    EXPECT_EQ(5.0f, first.at<float>(0, 0, 1)); // t12 through s0
    EXPECT_EQ(6.0f, first.at<float>(0, 0, 2)); // t12 through s3
    EXPECT_EQ(7.0f, first.at<float>(0, 0, 3)); // t12 loaded without a sampler
    Pixels second = readTexture2D(twice.get());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(2.0f * (5 + k), second.at<float>(0, 0, k));
    }
}

TEST(Sampling, GenerateMipsBuildsTheChainThatSamplingAtALevelReads) {
    REQUIRE_DEVICE();
    const UINT size = 4;
    std::vector<uint16_t> texels(size * size * 4);
    float total = 0;
    for (UINT y = 0; y < size; ++y) {
        for (UINT x = 0; x < size; ++x) {
            float value = float(y * size + x);
            total += value;
            uint16_t* texel = &texels[(y * size + x) * 4];
            texel[0] = half(value);
            texel[1] = half(1);
            texel[2] = 0;
            texel[3] = half(1);
        }
    }
    Com<ID3D11Texture2D> texture =
        makeTexture2D(size, size, DXGI_FORMAT_R16G16B16A16_FLOAT,
                      D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET, nullptr, 0, 0,
                      D3D11_RESOURCE_MISC_GENERATE_MIPS);
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    EXPECT_EQ(3u, desc.MipLevels); // 0 asks for the full chain
    D3D11_BOX whole = {0, 0, 0, size, size, 1};
    context()->UpdateSubresource(texture.get(), 0, &whole, texels.data(), size * 8, 0);
    Com<ID3D11ShaderResourceView> view = makeSrv(texture.get());
    context()->GenerateMips(view.get());

    Pixels level1 = readTexture2D(texture.get(), 1);
    ASSERT_EQ(2u, level1.width);
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 2; ++x) {
            float corner = float(2 * y * size + 2 * x);
            float mean = (4 * corner + 1 + size + size + 1) / 4;
            EXPECT_NEAR(mean, halfToFloat(level1.at<uint16_t>(x, y)), 0.01f) << x << ", " << y;
        }
    }
    Pixels level2 = readTexture2D(texture.get(), 2);
    ASSERT_EQ(1u, level2.width);
    EXPECT_NEAR(total / 16, halfToFloat(level2.at<uint16_t>(0, 0)), 0.01f);
}

} // namespace
} // namespace d3d11_test
