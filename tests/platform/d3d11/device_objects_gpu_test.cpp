// The device's objects as the system sees them: creation results for good and bad
// descriptions, GetDesc, reference counting, interface queries and shader bytecode checks.
#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

TEST(DeviceObjects, DeviceCreationChoosesTheFirstSupportedLevelAndRefusesBadArguments) {
    REQUIRE_DEVICE();
    EXPECT_EQ(D3D_FEATURE_LEVEL_11_0, device()->GetFeatureLevel());
    const D3D_FEATURE_LEVEL onlyTen[] = {D3D_FEATURE_LEVEL_10_0};
    const D3D_FEATURE_LEVEL onlyNewer[] = {D3D_FEATURE_LEVEL_11_1};
    ID3D11Device* made = nullptr;
    ID3D11DeviceContext* madeContext = nullptr;
    D3D_FEATURE_LEVEL level;
    ASSERT_EQ(S_OK, D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_WARP, nullptr, 0, onlyTen, 1,
                                      D3D11_SDK_VERSION, &made, &level, &madeContext));
    EXPECT_EQ(D3D_FEATURE_LEVEL_10_0, level);
    ID3D11Device* owner = nullptr;
    madeContext->GetDevice(&owner);
    EXPECT_EQ(made, owner);
    owner->Release();
    madeContext->Release();
    EXPECT_EQ(0u, made->Release());
    EXPECT_EQ(E_INVALIDARG,
              D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, onlyNewer, 1,
                                D3D11_SDK_VERSION, &made, &level, nullptr));
    EXPECT_EQ(E_INVALIDARG, D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0,
                                              onlyTen, 1, 6, &made, &level, nullptr));
    EXPECT_EQ(E_INVALIDARG, D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_NULL, nullptr, 0, onlyTen, 1,
                                              D3D11_SDK_VERSION, &made, &level, nullptr));
    // The context the test device hands out belongs to it.
    ID3D11DeviceContext* immediate = nullptr;
    device()->GetImmediateContext(&immediate);
    EXPECT_EQ(context(), immediate);
    immediate->Release();
}

// With Mesa (what Xvfb always provides) told to offer OpenGL 3.3 only, both driver types
// must answer DXGI_ERROR_UNSUPPORTED, the result the show retries on. Exit code 0 when so.
int createWithoutOpenGl45() {
    setenv("MESA_GL_VERSION_OVERRIDE", "3.3", 1);
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
    ID3D11Device* made = nullptr;
    HRESULT hardware = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 2,
                                         D3D11_SDK_VERSION, &made, nullptr, nullptr);
    HRESULT warp = D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_WARP, nullptr, 0, levels, 2,
                                     D3D11_SDK_VERSION, &made, nullptr, nullptr);
    bool refused =
        hardware == DXGI_ERROR_UNSUPPORTED && warp == DXGI_ERROR_UNSUPPORTED && made == nullptr;
    return refused ? 0 : 1;
}

TEST(DeviceObjectsDeathTest, NoOpenGl45ContextMeansUnsupportedForEveryDriverType) {
    // A fresh process, so that no context exists yet and the override takes effect.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(createWithoutOpenGl45()), testing::ExitedWithCode(0), "");
}

TEST(DeviceObjects, InvalidDescriptionsFailWithInvalidArg) {
    REQUIRE_DEVICE();
    const UINT sr = D3D11_BIND_SHADER_RESOURCE, cb = D3D11_BIND_CONSTANT_BUFFER;
    const UINT structured = D3D11_RESOURCE_MISC_BUFFER_STRUCTURED, read = D3D11_CPU_ACCESS_READ;
    struct BufferCase {
        const char* why;
        D3D11_BUFFER_DESC desc;
    };
    const BufferCase buffers[] = {
        {"empty", {0, D3D11_USAGE_DEFAULT, sr, 0, 0, 0}},
        {"constant buffer not a multiple of 16", {20, D3D11_USAGE_DEFAULT, cb, 0, 0, 0}},
        {"constant buffer with other binds", {32, D3D11_USAGE_DEFAULT, cb | sr, 0, 0, 0}},
        {"structured stride 0", {48, D3D11_USAGE_DEFAULT, sr, 0, structured, 0}},
        {"structured stride of one byte", {48, D3D11_USAGE_DEFAULT, sr, 0, structured, 1}},
        {"size not a multiple of the stride", {50, D3D11_USAGE_DEFAULT, sr, 0, structured, 12}},
        {"staging with binds", {64, D3D11_USAGE_STAGING, sr, read, 0, 0}},
        {"default with CPU access", {64, D3D11_USAGE_DEFAULT, sr, read, 0, 0}},
        {"immutable without data", {64, D3D11_USAGE_IMMUTABLE, sr, 0, 0, 0}},
    };
    for (const BufferCase& c : buffers) {
        ID3D11Buffer* buffer = reinterpret_cast<ID3D11Buffer*>(1);
        EXPECT_EQ(E_INVALIDARG, device()->CreateBuffer(&c.desc, nullptr, &buffer)) << c.why;
    }
    EXPECT_EQ(E_INVALIDARG, device()->CreateBuffer(nullptr, nullptr, nullptr));

    struct TextureCase {
        const char* why;
        DXGI_FORMAT format;
        UINT binds, width, mips, samples;
    };
    const TextureCase textures[] = {
        {"zero width", DXGI_FORMAT_R8G8B8A8_UNORM, sr, 0, 1, 1},
        {"unsupported format", DXGI_FORMAT_R10G10B10A2_UNORM, sr, 16, 1, 1},
        {"depth as shader resource", DXGI_FORMAT_D32_FLOAT, D3D11_BIND_DEPTH_STENCIL | sr, 16, 1,
         1},
        {"colour format as depth", DXGI_FORMAT_R32_FLOAT, D3D11_BIND_DEPTH_STENCIL, 16, 1, 1},
        {"too many mips (16 x 8 has 5)", DXGI_FORMAT_R32_FLOAT, sr, 16, 6, 1},
        {"multisampled", DXGI_FORMAT_R32_FLOAT, sr, 16, 1, 4},
    };
    for (const TextureCase& c : textures) {
        D3D11_TEXTURE2D_DESC desc = describeTexture2D(c.width, 8, c.format, c.binds, c.mips);
        desc.SampleDesc.Count = c.samples;
        ID3D11Texture2D* texture = nullptr;
        EXPECT_EQ(E_INVALIDARG, device()->CreateTexture2D(&desc, nullptr, &texture)) << c.why;
        EXPECT_EQ(nullptr, texture) << c.why;
    }

    D3D11_SAMPLER_DESC sampler = {static_cast<D3D11_FILTER>(0x3),
                                  D3D11_TEXTURE_ADDRESS_CLAMP,
                                  D3D11_TEXTURE_ADDRESS_CLAMP,
                                  D3D11_TEXTURE_ADDRESS_CLAMP,
                                  0,
                                  1,
                                  D3D11_COMPARISON_NEVER,
                                  {0, 0, 0, 0},
                                  0,
                                  FLT_MAX};
    ID3D11SamplerState* state = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateSamplerState(&sampler, &state)) << "filter 3";
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_POINT;
    sampler.AddressU = static_cast<D3D11_TEXTURE_ADDRESS_MODE>(0);
    EXPECT_EQ(E_INVALIDARG, device()->CreateSamplerState(&sampler, &state)) << "address 0";

    // A blend mode outside the show's three leaves all factors zero: not a valid description.
    D3D11_BLEND_DESC blend = {};
    blend.RenderTarget[0].BlendEnable = TRUE;
    blend.RenderTarget[0].RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    ID3D11BlendState* blendState = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateBlendState(&blend, &blendState));
    blend.RenderTarget[0] = {TRUE,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_SRC_COLOR,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_OP_ADD,
                             D3D11_COLOR_WRITE_ENABLE_ALL};
    EXPECT_EQ(E_INVALIDARG, device()->CreateBlendState(&blend, &blendState))
        << "colour factor for alpha";
    D3D11_RASTERIZER_DESC rasterizer = {};
    ID3D11RasterizerState* rasterizerState = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateRasterizerState(&rasterizer, &rasterizerState));
}

TEST(DeviceObjects, ResourcesAndViewsAnswerGetDescWithWhatTheyWereMadeFrom) {
    REQUIRE_DEVICE();
    D3D11_TEXTURE2D_DESC desc =
        describeTexture2D(16, 8, DXGI_FORMAT_R16G16B16A16_FLOAT, colourBinds);
    desc.MipLevels = 0;
    desc.MiscFlags = D3D11_RESOURCE_MISC_GENERATE_MIPS;
    Com<ID3D11Texture2D> texture;
    ASSERT_EQ(S_OK, device()->CreateTexture2D(&desc, nullptr, texture.out()));
    D3D11_TEXTURE2D_DESC got;
    texture->GetDesc(&got);
    EXPECT_EQ(5u, got.MipLevels);
    EXPECT_EQ(16u, got.Width);
    EXPECT_EQ(8u, got.Height);
    EXPECT_EQ(DXGI_FORMAT_R16G16B16A16_FLOAT, got.Format);
    EXPECT_EQ(colourBinds, got.BindFlags);
    EXPECT_EQ(UINT(D3D11_RESOURCE_MISC_GENERATE_MIPS), got.MiscFlags);
    D3D11_RESOURCE_DIMENSION dimension;
    texture->GetType(&dimension);
    EXPECT_EQ(D3D11_RESOURCE_DIMENSION_TEXTURE2D, dimension);

    // Views made without a description describe the whole resource.
    Com<ID3D11ShaderResourceView> srv = makeSrv(texture.get());
    D3D11_SHADER_RESOURCE_VIEW_DESC srvDesc;
    srv->GetDesc(&srvDesc);
    EXPECT_EQ(DXGI_FORMAT_R16G16B16A16_FLOAT, srvDesc.Format);
    EXPECT_EQ(D3D11_SRV_DIMENSION_TEXTURE2D, srvDesc.ViewDimension);
    EXPECT_EQ(0u, srvDesc.Texture2D.MostDetailedMip);
    EXPECT_EQ(5u, srvDesc.Texture2D.MipLevels);
    Com<ID3D11RenderTargetView> rtv = makeRtv(texture.get());
    D3D11_RENDER_TARGET_VIEW_DESC rtvDesc;
    rtv->GetDesc(&rtvDesc);
    EXPECT_EQ(D3D11_RTV_DIMENSION_TEXTURE2D, rtvDesc.ViewDimension);
    EXPECT_EQ(0u, rtvDesc.Texture2D.MipSlice);

    // Structured views, as the engine asks for them.
    Com<ID3D11Buffer> buffer = makeStructured(12, 1000);
    D3D11_BUFFER_DESC bufferDesc;
    buffer->GetDesc(&bufferDesc);
    EXPECT_EQ(12000u, bufferDesc.ByteWidth);
    EXPECT_EQ(12u, bufferDesc.StructureByteStride);
    D3D11_SHADER_RESOURCE_VIEW_DESC bufferSrvDesc = {};
    bufferSrvDesc.Format = DXGI_FORMAT_UNKNOWN;
    bufferSrvDesc.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
    bufferSrvDesc.Buffer.NumElements = 1000;
    Com<ID3D11ShaderResourceView> bufferSrv;
    ASSERT_EQ(S_OK,
              device()->CreateShaderResourceView(buffer.get(), &bufferSrvDesc, bufferSrv.out()));
    D3D11_SHADER_RESOURCE_VIEW_DESC gotSrv;
    bufferSrv->GetDesc(&gotSrv);
    EXPECT_EQ(1000u, gotSrv.Buffer.NumElements);
    D3D11_UNORDERED_ACCESS_VIEW_DESC uavDesc = {};
    uavDesc.ViewDimension = D3D11_UAV_DIMENSION_BUFFER;
    uavDesc.Buffer.NumElements = 1001;
    ID3D11UnorderedAccessView* tooLong = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateUnorderedAccessView(buffer.get(), &uavDesc, &tooLong));
    uavDesc.Buffer.NumElements = 1000;
    uavDesc.Format = DXGI_FORMAT_R32_FLOAT;
    EXPECT_EQ(E_INVALIDARG, device()->CreateUnorderedAccessView(buffer.get(), &uavDesc, &tooLong))
        << "typed view of a structured buffer";

    // A 3D unordered-access view as the engine makes it.
    D3D11_TEXTURE3D_DESC volumeDesc = {4,
                                       4,
                                       4,
                                       1,
                                       DXGI_FORMAT_R32_FLOAT,
                                       D3D11_USAGE_DEFAULT,
                                       D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS,
                                       0,
                                       0};
    Com<ID3D11Texture3D> volume;
    ASSERT_EQ(S_OK, device()->CreateTexture3D(&volumeDesc, nullptr, volume.out()));
    D3D11_UNORDERED_ACCESS_VIEW_DESC volumeView = {};
    volumeView.Format = DXGI_FORMAT_R32_FLOAT;
    volumeView.ViewDimension = D3D11_UAV_DIMENSION_TEXTURE3D;
    volumeView.Texture3D.WSize = 4;
    Com<ID3D11UnorderedAccessView> volumeUav;
    EXPECT_EQ(S_OK,
              device()->CreateUnorderedAccessView(volume.get(), &volumeView, volumeUav.out()));
    ID3D11RenderTargetView* noRtv = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateRenderTargetView(volume.get(), nullptr, &noRtv))
        << "no render-target bind";

    // Depth views: only with the depth bind, and the dimension must match.
    Com<ID3D11Texture2D> depth =
        makeTexture2D(8, 8, DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_BIND_DEPTH_STENCIL);
    D3D11_DEPTH_STENCIL_VIEW_DESC dsvDesc = {};
    dsvDesc.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    dsvDesc.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE1D;
    ID3D11DepthStencilView* dsv = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateDepthStencilView(depth.get(), &dsvDesc, &dsv));
    EXPECT_EQ(E_INVALIDARG, device()->CreateDepthStencilView(texture.get(), nullptr, &dsv));
    ID3D11ShaderResourceView* depthSrv = nullptr;
    EXPECT_EQ(E_INVALIDARG, device()->CreateShaderResourceView(depth.get(), nullptr, &depthSrv));
}

TEST(DeviceObjects, ReferencesKeepObjectsAliveAndInterfacesAnswerTheirIdentifiers) {
    REQUIRE_DEVICE();
    D3D11_TEXTURE2D_DESC desc = describeTexture2D(16, 8, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    ID3D11Texture2D* texture = nullptr;
    ASSERT_EQ(S_OK, device()->CreateTexture2D(&desc, nullptr, &texture));
    EXPECT_EQ(2u, texture->AddRef());
    EXPECT_EQ(1u, texture->Release());

    ID3D11Resource* asResource = nullptr;
    ASSERT_EQ(S_OK, texture->QueryInterface(__uuidof(ID3D11Resource),
                                            reinterpret_cast<void**>(&asResource)));
    EXPECT_EQ(static_cast<ID3D11Resource*>(texture), asResource);
    asResource->Release();
    void* wrong = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, texture->QueryInterface(__uuidof(ID3D11Buffer), &wrong));
    EXPECT_EQ(nullptr, wrong);

    // A view holds its resource: the texture outlives the caller's last reference.
    ID3D11RenderTargetView* view = nullptr;
    ASSERT_EQ(S_OK, device()->CreateRenderTargetView(texture, nullptr, &view));
    EXPECT_EQ(1u, texture->Release()); // the view's reference remains
    ID3D11Resource* viewed = nullptr;
    view->GetResource(&viewed);
    EXPECT_EQ(static_cast<ID3D11Resource*>(texture), viewed);
    const float colour[4] = {0, 1, 0, 1};
    context()->ClearRenderTargetView(view, colour);
    Pixels pixels = readTexture2D(static_cast<ID3D11Texture2D*>(viewed));
    EXPECT_EQ(255, pixels.texel(3, 3)[1]);
    viewed->Release();
    EXPECT_EQ(0u, view->Release());
}

TEST(DeviceObjects, BytecodeThatIsNotOurBlockOfTheRightStageIsRefused) {
    REQUIRE_DEVICE();
    std::vector<unsigned char> block(psPosition, psPosition + psPosition_size);
    ID3D11PixelShader* pixel = nullptr;
    ID3D11VertexShader* vertex = nullptr;
    ID3D11ComputeShader* compute = nullptr;
    EXPECT_EQ(E_INVALIDARG,
              device()->CreateVertexShader(block.data(), block.size(), nullptr, &vertex))
        << "a pixel program as vertex shader";
    EXPECT_EQ(E_INVALIDARG,
              device()->CreateComputeShader(block.data(), block.size(), nullptr, &compute));
    EXPECT_EQ(E_INVALIDARG,
              device()->CreatePixelShader(block.data(), block.size() - 1, nullptr, &pixel))
        << "truncated";
    EXPECT_EQ(E_INVALIDARG, device()->CreatePixelShader(nullptr, 0, nullptr, &pixel));
    // A DXBC container, as fxc writes it, is not a block of this platform.
    const unsigned char dxbc[32] = {'D', 'X', 'B', 'C'};
    EXPECT_EQ(E_INVALIDARG, device()->CreatePixelShader(dxbc, sizeof dxbc, nullptr, &pixel));
    std::vector<unsigned char> wrongVersion = block;
    wrongVersion[4] = 9;
    EXPECT_EQ(E_INVALIDARG, device()->CreatePixelShader(wrongVersion.data(), wrongVersion.size(),
                                                        nullptr, &pixel));
    // A well-formed block whose text does not compile.
    std::string text(block.begin(), block.end());
    size_t main = text.find("void main()");
    ASSERT_NE(std::string::npos, main);
    std::vector<unsigned char> broken = block;
    broken[main] = '#';
    EXPECT_EQ(E_INVALIDARG,
              device()->CreatePixelShader(broken.data(), broken.size(), nullptr, &pixel));
    EXPECT_EQ(nullptr, pixel);
    EXPECT_EQ(S_OK, device()->CreatePixelShader(block.data(), block.size(), nullptr, &pixel));
    pixel->Release();
}

} // namespace
} // namespace d3d11_test
