// Storage images through the layer: the image's format comes from the bound view, and 1D and
// 3D images are bound whole. (Structured buffers, dispatch order and compute-then-draw are
// covered by the shader program tests, which run the show's kernels through the engine.)
#include <cstring>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

TEST(Compute, StorageImagesTakeTheFormatOfTheBoundViewAndEveryDimension) {
    REQUIRE_DEVICE();
    const UINT size = 8;
    const UINT binds = colourBinds & ~D3D11_BIND_RENDER_TARGET;
    Com<ID3D11Texture3D> volume;
    const D3D11_TEXTURE3D_DESC volumeDesc = {
        size, size, size, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, D3D11_USAGE_DEFAULT, binds, 0, 0};
    ASSERT_EQ(S_OK, device()->CreateTexture3D(&volumeDesc, nullptr, volume.out()));
    Com<ID3D11Texture1D> ramp;
    const D3D11_TEXTURE1D_DESC rampDesc = {
        size, 1, 1, DXGI_FORMAT_R16G16B16A16_FLOAT, D3D11_USAGE_DEFAULT, binds, 0, 0};
    ASSERT_EQ(S_OK, device()->CreateTexture1D(&rampDesc, nullptr, ramp.out()));
    Com<ID3D11UnorderedAccessView> volumeView = makeUav(volume.get());
    Com<ID3D11UnorderedAccessView> rampView = makeUav(ramp.get());
    Com<ID3D11ComputeShader> shader = TEST_CS(csImages);
    TestParams params;
    params.params[0] = 0.75f;
    Com<ID3D11Buffer> constants = makeConstants(params);
    // The plane gets (x, y, x y, 0.75) in either format.
    for (DXGI_FORMAT format : {DXGI_FORMAT_R32G32B32A32_FLOAT, DXGI_FORMAT_R16G16B16A16_FLOAT}) {
        Com<ID3D11Texture2D> plane = makeTexture2D(size, size, format, colourBinds);
        Com<ID3D11UnorderedAccessView> planeView = makeUav(plane.get());
        dispatch(shader.get(), constants.get(), {},
                 {planeView.get(), volumeView.get(), rampView.get()}, 1, 1, size);
        Pixels pixels = readTexture2D(plane.get());
        for (UINT y = 0; y < size; ++y) {
            for (UINT x = 0; x < size; ++x) {
                const float expected[4] = {float(x), float(y), float(x * y), 0.75f};
                for (int k = 0; k < 4; ++k) {
                    float got = format == DXGI_FORMAT_R32G32B32A32_FLOAT
                                    ? pixels.at<float>(x, y, k)
                                    : halfToFloat(pixels.at<uint16_t>(x, y, k));
                    ASSERT_EQ(expected[k], got) << "format " << format << " at " << x << "," << y;
                }
            }
        }
    }
    // Every slice of the volume holds (x, y, z, 1); the ramp (x, 2 x, 0, 1).
    std::vector<uint8_t> voxels = readTexture3D(volume.get());
    ASSERT_EQ(size * size * size * 16, voxels.size());
    for (UINT i = 0; i < size * size * size; ++i) {
        float texel[4];
        std::memcpy(texel, voxels.data() + i * 16, 16);
        ASSERT_EQ(float(i % size), texel[0]) << "voxel " << i;
        ASSERT_EQ(float(i / size % size), texel[1]) << "voxel " << i;
        ASSERT_EQ(float(i / size / size), texel[2]) << "voxel " << i;
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

} // namespace
} // namespace d3d11_test
