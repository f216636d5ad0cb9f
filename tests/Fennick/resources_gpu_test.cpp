// Textures, images, buffers and data buffers on the device: what gets created (read through
// GetDesc), what the getters hand out, and the contents (read back).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Fennick/buffer_data_runtime.h"
#include "Fennick/buffer_runtime.h"
#include "Fennick/image_runtime.h"
#include "Fennick/texture_runtime.h"
#include "engine_device.h"

// The encoder is third-party code; its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#pragma GCC diagnostic pop

using namespace Fennick::gfx;

namespace {

class EngineResources : public ::testing::Test {
protected:
    void SetUp() override {
        if (!engineDeviceReady())
            GTEST_SKIP() << "no Direct3D device";
    }
};

D3D11_TEXTURE2D_DESC desc2D(ID3D11Resource* resource) {
    D3D11_TEXTURE2D_DESC d = {};
    static_cast<ID3D11Texture2D*>(resource)->GetDesc(&d);
    return d;
}

D3D11_BUFFER_DESC bufferDesc(ID3D11Resource* resource) {
    D3D11_BUFFER_DESC d = {};
    static_cast<ID3D11Buffer*>(resource)->GetDesc(&d);
    return d;
}

TextureDesc textureDesc(TextureDimension dimension, uint32_t width, uint32_t height, uint32_t depth,
                        TextureFormat format, uint8_t mipmaps) {
    TextureDesc d;
    d.dimension = dimension;
    d.width = width;
    d.height = height;
    d.depth = depth;
    d.format = format;
    d.mipmaps = mipmaps;
    return d;
}

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(context);
            out->insert(out->end(), static_cast<uint8_t*>(data),
                        static_cast<uint8_t*>(data) + size);
        },
        &png, width, height, 4, rgba.data(), width * 4);
    return png;
}

std::string tempPath(const char* name) {
    return ::testing::TempDir() + name;
}

} // namespace

// Bind flags, mip chains and structured views are exercised by the pass tests; here the views
// each kind of texture gets, and the dimensions the device is given.
TEST_F(EngineResources, EachKindOfTextureGetsTheViewsItAllows) {
    TextureRuntime colour, depth, line, volume, narrow;
    colour.init(textureDesc(Tex2D, 16, 8, 0, FormatR16G16B16A16Float, 1), 0);
    EXPECT_TRUE(colour.srvA && colour.uavA && colour.rtvA);
    EXPECT_EQ(colour.dsv, nullptr);
    EXPECT_EQ(colour.resourceB, nullptr);
    for (TextureFormat format : {FormatD24UnormS8Uint, FormatD32Float}) {
        depth.init(textureDesc(Tex2D, 64, 32, 0, format, 1), 0);
        ASSERT_NE(depth.resourceA, nullptr);
        EXPECT_EQ(desc2D(depth.resourceA).BindFlags, UINT(D3D11_BIND_DEPTH_STENCIL));
        EXPECT_EQ(desc2D(depth.resourceA).MipLevels, 1u);
        EXPECT_NE(depth.getDsv(), nullptr);
        EXPECT_FALSE(depth.getSrv(true) || depth.getUav(false) || depth.getRtv(false));
        depth.release();
    }
    line.init(textureDesc(Tex1D, 8, 0, 0, FormatR32Float, 1), 0);
    ASSERT_NE(line.resourceA, nullptr);
    D3D11_TEXTURE1D_DESC d1 = {};
    static_cast<ID3D11Texture1D*>(line.resourceA)->GetDesc(&d1);
    EXPECT_EQ(d1.MipLevels, 4u); // the height is not an extent of a 1D texture
    EXPECT_TRUE(line.srvA && line.uavA);
    EXPECT_EQ(line.rtvA, nullptr);
    volume.init(textureDesc(Tex3D, 4, 4, 0, FormatR32G32B32A32Float, 0), 0);
    ASSERT_NE(volume.resourceA, nullptr);
    D3D11_TEXTURE3D_DESC d3 = {};
    static_cast<ID3D11Texture3D*>(volume.resourceA)->GetDesc(&d3);
    EXPECT_EQ(d3.Depth, 1u); // depth 0 becomes one slice
    EXPECT_EQ(volume.rtvA, nullptr);
    ASSERT_NE(volume.uavA, nullptr);
    D3D11_UNORDERED_ACCESS_VIEW_DESC uav = {};
    volume.uavA->GetDesc(&uav);
    EXPECT_EQ(uav.ViewDimension, D3D11_UAV_DIMENSION_TEXTURE3D);
    EXPECT_EQ(uav.Texture3D.WSize, 1u);
    narrow.init(textureDesc(Tex2D, 0, 5, 0, FormatR8G8B8A8Unorm, 0), 0);
    ASSERT_NE(narrow.resourceA, nullptr);
    EXPECT_EQ(desc2D(narrow.resourceA).Width, 1u);
    for (TextureRuntime* t : {&colour, &line, &volume, &narrow}) {
        t->release();
        EXPECT_FALSE(t->resourceA || t->srvA || t->uavA || t->rtvA);
    }
}

TEST_F(EngineResources, DoubleBufferedResourcesWriteOneCopyAndReadTheOther) {
    TextureRuntime texture;
    texture.init(textureDesc(Tex2D, 4, 4, 0, FormatR8G8B8A8Unorm, 0), 1);
    ASSERT_NE(texture.resourceB, nullptr);
    ASSERT_NE(texture.rtvB, nullptr);
    EXPECT_EQ(texture.getRtv(false), texture.rtvA);
    EXPECT_EQ(texture.getSrv(true), texture.srvB);
    EXPECT_EQ(texture.getResource(true), texture.resourceB);
    texture.swapped = 1;
    EXPECT_EQ(texture.getRtv(false), texture.rtvB);
    EXPECT_EQ(texture.getUav(false), texture.uavB);
    EXPECT_EQ(texture.getSrv(true), texture.srvA);
    texture.release();
    EXPECT_FALSE(texture.resourceB || texture.srvB);

    // A constant buffer has copy A only, whatever it was asked for.
    const uint32_t initial[4] = {7, 8, 9, 10};
    BufferDesc constantDesc;
    constantDesc.constant = 1;
    constantDesc.stride = 16;
    constantDesc.initialData = initial;
    BufferRuntime constants;
    constants.init(constantDesc, 1);
    ASSERT_NE(constants.bufferA, nullptr);
    EXPECT_EQ(bufferDesc(constants.bufferA).BindFlags, UINT(D3D11_BIND_CONSTANT_BUFFER));
    EXPECT_FALSE(constants.bufferB || constants.srvA || constants.uavA);
    constants.swapped = 1;
    EXPECT_EQ(constants.getResource(true), constants.bufferA);
    EXPECT_EQ(readBufferAs<uint32_t>(constants.bufferA), (std::vector<uint32_t>{7, 8, 9, 10}));
    constants.release();
    EXPECT_EQ(constants.bufferA, nullptr);
}

TEST_F(EngineResources, ImageIsUploadedWithItsFirstRowLast) {
    // 2 x 3 pixels; row r, column c holds (10 r + c, 100 + r, 200, 255).
    std::vector<uint8_t> rgba;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c)
            rgba.insert(rgba.end(), {uint8_t(10 * r + c), uint8_t(100 + r), 200, 255});
    const std::vector<uint8_t> png = encodePng(2, 3, rgba);
    ASSERT_FALSE(png.empty());

    ImageDesc fromMemory;
    fromMemory.data = png.data();
    fromMemory.dataSize = int32_t(png.size());
    ImageRuntime image;
    EXPECT_TRUE(image.init(fromMemory));
    EXPECT_EQ(image.desc.width, 2u);
    EXPECT_EQ(image.desc.height, 3u);
    EXPECT_EQ(image.desc.format, FormatR8G8B8A8Unorm);
    const TexturePixels pixels = readTexture2D(image.resourceA);
    ASSERT_EQ(pixels.bytes.size(), 24u);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 2; ++x) {
            const uint8_t* texel = pixels.texel(x, y);
            EXPECT_EQ(texel[0], 10 * (2 - y) + x) << "row " << y;
            EXPECT_EQ(texel[1], 100 + (2 - y)) << "row " << y;
        }
    image.release();

    const std::string path = tempPath("engine_image.png");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    ImageDesc fromFile;
    std::snprintf(fromFile.path, sizeof fromFile.path, "%s", path.c_str());
    ImageRuntime loaded;
    EXPECT_TRUE(loaded.init(fromFile));
    const TexturePixels filePixels = readTexture2D(loaded.resourceA);
    EXPECT_EQ(filePixels.bytes, pixels.bytes);
    loaded.release();
}

TEST_F(EngineResources, UndecodableImageHasNoDeviceObjects) {
    const uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8};
    ImageDesc broken;
    broken.data = garbage;
    broken.dataSize = sizeof garbage;
    ImageRuntime image;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(image.init(broken));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("cannot decode the image of 8 bytes"), std::string::npos);
    EXPECT_EQ(image.getResource(false), nullptr);
    EXPECT_EQ(image.getSrv(true), nullptr);
    EXPECT_EQ(image.getRtv(false), nullptr);
    image.upload(garbage, 1, 1, 4); // nothing to write into; must not crash
    image.generateMips();

    ImageDesc missing;
    std::snprintf(missing.path, sizeof missing.path, "%s", tempPath("no_such.png").c_str());
    ImageRuntime absent;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(absent.init(missing));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("no_such.png"), std::string::npos);
    EXPECT_EQ(absent.getSrv(true), nullptr);
}

TEST_F(EngineResources, DataBuffersFromArraysAndFiles) {
    const int32_t codes[3] = {-5, 0, 1569};
    BufferDataDesc fromArray;
    fromArray.type = Int;
    fromArray.data = codes;
    fromArray.count = 3;
    BufferDataRuntime message;
    message.init(fromArray);
    ASSERT_NE(message.bufferA, nullptr);
    EXPECT_EQ(bufferDesc(message.bufferA).StructureByteStride, 4u);
    EXPECT_EQ(readBufferAs<int32_t>(message.bufferA), (std::vector<int32_t>{-5, 0, 1569}));
    EXPECT_EQ(message.dataDesc.data, codes);
    message.release();

    const std::string path = tempPath("engine_floats.txt");
    std::ofstream(path) << "0.5\n1.25\r\n-3\n";
    BufferDataDesc fromFile;
    fromFile.type = Float;
    std::snprintf(fromFile.path, sizeof fromFile.path, "%s", path.c_str());
    BufferDataRuntime floats;
    floats.init(fromFile);
    EXPECT_EQ(floats.dataDesc.count, 3u);
    EXPECT_EQ(readBufferAs<float>(floats.bufferA), (std::vector<float>{0.5f, 1.25f, -3.0f}));
    floats.release();
    EXPECT_EQ(floats.dataDesc.data, nullptr);

    // Byte elements are packed four to a 32-bit word.
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    BufferDataDesc byteDesc;
    byteDesc.type = Byte;
    byteDesc.data = bytes;
    byteDesc.count = 5;
    BufferDataRuntime packed;
    packed.init(byteDesc);
    ASSERT_NE(packed.bufferA, nullptr);
    EXPECT_EQ(bufferDesc(packed.bufferA).StructureByteStride, 4u);
    EXPECT_EQ(readBufferAs<uint32_t>(packed.bufferA),
              (std::vector<uint32_t>{0x04030201u, 0x00000005u}));
    packed.release();
}

TEST_F(EngineResources, DataBufferWithoutReadableFileOrElements) {
    BufferDataDesc unreadable;
    unreadable.type = Int;
    unreadable.count = 6;
    std::snprintf(unreadable.path, sizeof unreadable.path, "%s",
                  tempPath("engine_missing.txt").c_str());
    BufferDataRuntime sized;
    ::testing::internal::CaptureStderr();
    sized.init(unreadable);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("engine_missing.txt"),
              std::string::npos);
    ASSERT_NE(sized.bufferA, nullptr);
    EXPECT_EQ(bufferDesc(sized.bufferA).ByteWidth, 24u); // the description's own count
    sized.release();

    const std::string path = tempPath("engine_empty_data.txt");
    std::ofstream(path) << "";
    BufferDataDesc empty;
    empty.type = Int;
    empty.count = 6;
    std::snprintf(empty.path, sizeof empty.path, "%s", path.c_str());
    BufferDataRuntime nothing;
    nothing.init(empty);
    EXPECT_EQ(nothing.dataDesc.count, 0u);
    EXPECT_EQ(nothing.bufferA, nullptr);
    EXPECT_EQ(nothing.getSrv(true), nullptr);
    EXPECT_EQ(nothing.getUav(false), nullptr);
}
