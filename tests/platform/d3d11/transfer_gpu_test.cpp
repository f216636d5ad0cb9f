// Moving data through the layer in every format the show uses: initial data, uploads with
// and without a box, clears, copies between resources, and Map on staging and dynamic ones.
#include <cstring>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

struct FormatCase {
    DXGI_FORMAT format;
    UINT bytes;
};

const FormatCase formats[] = {
    {DXGI_FORMAT_R32_FLOAT, 4},           {DXGI_FORMAT_R8G8B8A8_UNORM, 4},
    {DXGI_FORMAT_B8G8R8A8_UNORM, 4},      {DXGI_FORMAT_R16G16B16A16_FLOAT, 8},
    {DXGI_FORMAT_R32G32B32A32_FLOAT, 16}, {DXGI_FORMAT_R32_UINT, 4},
};

std::vector<uint8_t> pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        // Small values keep every float and half pattern finite.
        bytes[i] = uint8_t((i * 7 + seed) % 61);
    }
    return bytes;
}

TEST(Transfer, EveryShowFormatRoundTripsInitialDataAndBoxedUploads) {
    REQUIRE_DEVICE();
    const UINT width = 5, height = 4;
    for (const FormatCase& f : formats) {
        // Rows handed over with padding, as a pitch larger than the row allows.
        UINT pitch = width * f.bytes + 12;
        std::vector<uint8_t> initial = pattern(pitch * height, 1);
        Com<ID3D11Texture2D> texture =
            makeTexture2D(width, height, f.format, colourBinds, initial.data(), pitch);
        Pixels pixels = readTexture2D(texture.get());
        ASSERT_EQ(width * height * f.bytes, pixels.bytes.size()) << "format " << f.format;
        for (UINT y = 0; y < height; ++y) {
            EXPECT_EQ(0,
                      std::memcmp(initial.data() + y * pitch, pixels.texel(0, y), width * f.bytes))
                << "format " << f.format << " row " << y;
        }
        // A 2 x 2 box at (2, 1), tightly packed.
        std::vector<uint8_t> patch = pattern(2 * 2 * f.bytes, 9);
        D3D11_BOX box = {2, 1, 0, 4, 3, 1};
        context()->UpdateSubresource(texture.get(), 0, &box, patch.data(), 2 * f.bytes, 0);
        Pixels patched = readTexture2D(texture.get());
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                bool inBox = x >= 2 && x < 4 && y >= 1 && y < 3;
                const uint8_t* expected = inBox ? patch.data() + ((y - 1) * 2 + (x - 2)) * f.bytes
                                                : initial.data() + y * pitch + x * f.bytes;
                EXPECT_EQ(0, std::memcmp(expected, patched.texel(x, y), f.bytes))
                    << "format " << f.format << " texel " << x << ", " << y;
            }
        }
        // Without a box the whole level is replaced.
        std::vector<uint8_t> whole = pattern(width * height * f.bytes, 17);
        context()->UpdateSubresource(texture.get(), 0, nullptr, whole.data(), width * f.bytes, 0);
        EXPECT_EQ(whole, readTexture2D(texture.get()).bytes) << "format " << f.format;
    }
}

TEST(Transfer, ClearsWriteTheColourInEachFormatsLayout) {
    REQUIRE_DEVICE();
    const float colour[4] = {1.0f, 0.5f, 0.25f, 0.75f};
    Com<ID3D11Texture2D> rgba = makeTexture2D(2, 2, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    Com<ID3D11Texture2D> bgra = makeTexture2D(2, 2, DXGI_FORMAT_B8G8R8A8_UNORM, colourBinds);
    Com<ID3D11Texture2D> half = makeTexture2D(2, 2, DXGI_FORMAT_R16G16B16A16_FLOAT, colourBinds);
    Com<ID3D11Texture2D> single = makeTexture2D(2, 2, DXGI_FORMAT_R32_FLOAT, colourBinds);
    Com<ID3D11Texture2D> integer = makeTexture2D(2, 2, DXGI_FORMAT_R32_UINT, colourBinds);
    for (ID3D11Texture2D* texture : {rgba.get(), bgra.get(), half.get(), single.get()}) {
        Com<ID3D11RenderTargetView> view = makeRtv(texture);
        context()->ClearRenderTargetView(view.get(), colour);
    }
    const float count[4] = {7, 0, 0, 0};
    Com<ID3D11RenderTargetView> integerView = makeRtv(integer.get());
    context()->ClearRenderTargetView(integerView.get(), count);

    Pixels rgbaPixels = readTexture2D(rgba.get());
    const uint8_t* texel = rgbaPixels.texel(1, 1);
    EXPECT_EQ(255, texel[0]);
    EXPECT_NEAR(128, texel[1], 1);
    EXPECT_NEAR(64, texel[2], 1);
    EXPECT_NEAR(191, texel[3], 1);
    Pixels bgraPixels = readTexture2D(bgra.get());
    texel = bgraPixels.texel(1, 1);
    EXPECT_NEAR(64, texel[0], 1); // blue first in memory
    EXPECT_NEAR(128, texel[1], 1);
    EXPECT_EQ(255, texel[2]);
    Pixels halfPixels = readTexture2D(half.get());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(colour[k], halfToFloat(halfPixels.at<uint16_t>(0, 1, k)));
    }
    EXPECT_EQ(1.0f, readTexture2D(single.get()).at<float>(1, 0));
    EXPECT_EQ(7u, readTexture2D(integer.get()).at<uint32_t>(0, 0));
}

TEST(Transfer, DepthTexturesReadBackInDirect3DsLayout) {
    REQUIRE_DEVICE();
    Com<ID3D11Texture2D> packed =
        makeTexture2D(2, 2, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
    Com<ID3D11Texture2D> single =
        makeTexture2D(2, 2, DXGI_FORMAT_D32_FLOAT, D3D11_BIND_DEPTH_STENCIL);
    Com<ID3D11DepthStencilView> packedView, singleView;
    ASSERT_EQ(S_OK, device()->CreateDepthStencilView(packed.get(), nullptr, packedView.out()));
    ASSERT_EQ(S_OK, device()->CreateDepthStencilView(single.get(), nullptr, singleView.out()));
    context()->ClearDepthStencilView(packedView.get(), D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL,
                                     0.5f, 7);
    context()->ClearDepthStencilView(singleView.get(), D3D11_CLEAR_DEPTH, 0.25f, 0);
    // Depth in the low 24 bits, stencil in the top byte.
    uint32_t texel = readTexture2D(packed.get()).at<uint32_t>(1, 1);
    EXPECT_NEAR(0.5 * 0xffffff, double(texel & 0xffffff), 1.0);
    EXPECT_EQ(7u, texel >> 24);
    EXPECT_EQ(0.25f, readTexture2D(single.get()).at<float>(0, 1));
    // Initial data in that layout comes back unchanged.
    const uint32_t texels[4] = {0x01000000u, 0x02ffffffu, 0x03123456u, 0xff000001u};
    Com<ID3D11Texture2D> filled =
        makeTexture2D(2, 2, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL, texels);
    Pixels pixels = readTexture2D(filled.get());
    for (UINT i = 0; i < 4; ++i) {
        EXPECT_EQ(texels[i], pixels.at<uint32_t>(i % 2, i / 2)) << i;
    }
}

TEST(Transfer, CopiesMoveWholeResourcesAndRegionsBetweenGpuAndStagingMemory) {
    REQUIRE_DEVICE();
    const UINT size = 4;
    std::vector<uint8_t> source = pattern(size * size * 4, 3);
    Com<ID3D11Texture2D> from =
        makeTexture2D(size, size, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds, source.data());
    Com<ID3D11Texture2D> to = makeTexture2D(size, size, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    context()->CopyResource(to.get(), from.get());
    EXPECT_EQ(source, readTexture2D(to.get()).bytes);

    // A 2 x 1 region from (1, 2) lands at (0, 3).
    Com<ID3D11Texture2D> region =
        makeTexture2D(size, size, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    D3D11_BOX box = {1, 2, 0, 3, 3, 1};
    context()->CopySubresourceRegion(region.get(), 0, 0, 3, 0, from.get(), 0, &box);
    Pixels pixels = readTexture2D(region.get());
    for (UINT y = 0; y < size; ++y) {
        for (UINT x = 0; x < size; ++x) {
            bool copied = y == 3 && x < 2;
            uint32_t expected = 0, actual = 0;
            if (copied) {
                std::memcpy(&expected, source.data() + (2 * size + 1 + x) * 4, 4);
            }
            std::memcpy(&actual, pixels.texel(x, y), 4);
            EXPECT_EQ(expected, actual) << x << ", " << y;
        }
    }

    // Written through a mapped staging texture, then copied up to the GPU.
    D3D11_TEXTURE2D_DESC desc;
    from->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_WRITE | D3D11_CPU_ACCESS_READ;
    Com<ID3D11Texture2D> staging;
    ASSERT_EQ(S_OK, device()->CreateTexture2D(&desc, nullptr, staging.out()));
    D3D11_MAPPED_SUBRESOURCE mapped;
    ASSERT_EQ(S_OK, context()->Map(staging.get(), 0, D3D11_MAP_WRITE, 0, &mapped));
    std::vector<uint8_t> written = pattern(size * size * 4, 21);
    for (UINT y = 0; y < size; ++y) {
        std::memcpy(static_cast<uint8_t*>(mapped.pData) + y * mapped.RowPitch,
                    written.data() + y * size * 4, size * 4);
    }
    context()->Unmap(staging.get(), 0);
    context()->CopyResource(to.get(), staging.get());
    EXPECT_EQ(written, readTexture2D(to.get()).bytes);

    // Buffers: a range copied between GPU buffers, then read whole.
    std::vector<uint32_t> values = {1, 2, 3, 4, 5, 6, 7, 8};
    Com<ID3D11Buffer> first = makeStructured(4, 8, values.data());
    Com<ID3D11Buffer> second = makeStructured(4, 8);
    D3D11_BOX range = {8, 0, 0, 20, 1, 1};
    context()->CopySubresourceRegion(second.get(), 0, 4, 0, 0, first.get(), 0, &range);
    EXPECT_EQ((std::vector<uint32_t>{0, 3, 4, 5, 0, 0, 0, 0}),
              readBufferAs<uint32_t>(second.get()));
}

TEST(Transfer, MapFollowsUsageAndCpuAccess) {
    REQUIRE_DEVICE();
    D3D11_BUFFER_DESC desc = {64, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    Com<ID3D11Buffer> gpuOnly;
    ASSERT_EQ(S_OK, device()->CreateBuffer(&desc, nullptr, gpuOnly.out()));
    D3D11_MAPPED_SUBRESOURCE mapped;
    EXPECT_EQ(E_INVALIDARG, context()->Map(gpuOnly.get(), 0, D3D11_MAP_READ, 0, &mapped));

    desc = {64, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_WRITE, 0, 0};
    Com<ID3D11Buffer> writeOnly;
    ASSERT_EQ(S_OK, device()->CreateBuffer(&desc, nullptr, writeOnly.out()));
    EXPECT_EQ(E_INVALIDARG, context()->Map(writeOnly.get(), 0, D3D11_MAP_READ, 0, &mapped));
    EXPECT_EQ(E_INVALIDARG, context()->Map(writeOnly.get(), 1, D3D11_MAP_WRITE, 0, &mapped));
    ASSERT_EQ(S_OK, context()->Map(writeOnly.get(), 0, D3D11_MAP_WRITE, 0, &mapped));
    EXPECT_EQ(64u, mapped.RowPitch);
    // Mapping twice without Unmap is refused.
    EXPECT_EQ(E_INVALIDARG, context()->Map(writeOnly.get(), 0, D3D11_MAP_WRITE, 0, &mapped));
    context()->Unmap(writeOnly.get(), 0);

    // A dynamic constant buffer takes WRITE_DISCARD and reaches the shaders on Unmap.
    desc = {sizeof(TestParams),
            D3D11_USAGE_DYNAMIC,
            D3D11_BIND_CONSTANT_BUFFER,
            D3D11_CPU_ACCESS_WRITE,
            0,
            0};
    Com<ID3D11Buffer> dynamic;
    ASSERT_EQ(S_OK, device()->CreateBuffer(&desc, nullptr, dynamic.out()));
    EXPECT_EQ(E_INVALIDARG, context()->Map(dynamic.get(), 0, D3D11_MAP_WRITE, 0, &mapped));
    ASSERT_EQ(S_OK, context()->Map(dynamic.get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped));
    TestParams params;
    params.count = 4;
    std::memcpy(mapped.pData, &params, sizeof params);
    context()->Unmap(dynamic.get(), 0);
    Com<ID3D11Buffer> totals = makeStructured(4, 8);
    Com<ID3D11UnorderedAccessView> view = makeUav(totals.get());
    Com<ID3D11ComputeShader> shader = TEST_CS(csAccumulate);
    dispatch(shader.get(), dynamic.get(), {}, {view.get()}, 1);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4, 0, 0, 0, 0}),
              readBufferAs<uint32_t>(totals.get()));
}

} // namespace
} // namespace d3d11_test
