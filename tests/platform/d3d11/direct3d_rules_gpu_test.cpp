// Direct3D's rules that a program may rely on without knowing it: what empty slots read, the
// input/output hazard rules, the bit copy of unordered-access clears, and the calls Direct3D
// refuses (with the debug switch that says why).
#include <cstdlib>
#include <cstring>
#include <thread>

#include "gpu_helpers.h"
#include "platform/linux/d3d11/shader_block.h"

namespace d3d11_test {
namespace {

constexpr UINT probeCount = 8;

Com<ID3D11SamplerState> nearestClamp() {
    D3D11_SAMPLER_DESC desc = {};
    desc.AddressU = desc.AddressV = desc.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    desc.MaxAnisotropy = 1;
    desc.ComparisonFunc = D3D11_COMPARISON_NEVER;
    desc.MaxLOD = D3D11_FLOAT32_MAX;
    Com<ID3D11SamplerState> sampler;
    EXPECT_EQ(S_OK, device()->CreateSamplerState(&desc, sampler.out()));
    return sampler;
}

struct Probe {
    Com<ID3D11ComputeShader> shader = TEST_CS(csProbe);
    Com<ID3D11SamplerState> sampler = nearestClamp();
    std::vector<float> nines = std::vector<float>(probeCount, 9.0f);
    Com<ID3D11Buffer> seen = makeStructured(sizeof(float), probeCount, nines.data());
    Com<ID3D11UnorderedAccessView> seenView = makeUav(seen.get());

    // Runs the probe with whatever t0, t1 and b0 hold, writing into `output` (default: seen).
    std::vector<float> run(ID3D11UnorderedAccessView* output = nullptr) {
        ID3D11DeviceContext* c = context();
        ID3D11SamplerState* nearest = sampler.get();
        c->CSSetSamplers(0, 1, &nearest);
        ID3D11UnorderedAccessView* out = output ? output : seenView.get();
        c->CSSetUnorderedAccessViews(0, 1, &out, nullptr);
        c->CSSetShader(shader.get(), nullptr, 0);
        c->Dispatch(1, 1, 1);
        ID3D11UnorderedAccessView* none = nullptr;
        c->CSSetUnorderedAccessViews(0, 1, &none, nullptr);
        return readBufferAs<float>(seen.get());
    }
};

void clearInputs() {
    ID3D11ShaderResourceView* none[2] = {nullptr, nullptr};
    ID3D11Buffer* noBuffer = nullptr;
    context()->CSSetShaderResources(0, 2, none);
    context()->CSSetConstantBuffers(0, 1, &noBuffer);
    context()->OMSetRenderTargets(0, nullptr, nullptr);
}

TEST(Direct3DRules, EmptySlotsReadZeroEvenFarIntoTheBuffer) {
    REQUIRE_DEVICE();
    clearInputs();
    Probe probe;
    std::vector<float> seen = probe.run();
    // A texture slot gives (0, 0, 0, 0), alpha included; structured and constant slots give
    // 0 at byte 0 and far past it.
    for (UINT i = 0; i < probeCount; ++i) {
        EXPECT_EQ(0.0f, seen[i]) << "value " << i;
    }
}

TEST(Direct3DRules, AResourceIsNeverInputAndOutputAtOnce) {
    REQUIRE_DEVICE();
    clearInputs();
    Probe probe;
    Com<ID3D11Texture2D> image = makeTexture2D(1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11ShaderResourceView> imageInput = makeSrv(image.get());
    Com<ID3D11RenderTargetView> imageOutput = makeRtv(image.get());
    const float colour[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    context()->ClearRenderTargetView(imageOutput.get(), colour);
    std::vector<float> sevens(128, 7.0f);
    Com<ID3D11Buffer> values = makeStructured(sizeof(float), 128, sevens.data());
    Com<ID3D11ShaderResourceView> valuesInput = makeSrv(values.get());
    Com<ID3D11UnorderedAccessView> valuesOutput = makeUav(values.get());
    ID3D11ShaderResourceView* inputs[2] = {imageInput.get(), valuesInput.get()};

    // Bound as inputs only, both are read.
    context()->CSSetShaderResources(0, 2, inputs);
    std::vector<float> live = probe.run();
    EXPECT_EQ(0.25f, live[0]);
    EXPECT_EQ(7.0f, live[5]);

    // Binding the image as a render target takes it out of the compute input slot.
    ID3D11RenderTargetView* target = imageOutput.get();
    context()->OMSetRenderTargets(1, &target, nullptr);
    std::vector<float> unbound = probe.run();
    EXPECT_EQ(0.0f, unbound[0]);
    EXPECT_EQ(0.0f, unbound[3]);
    EXPECT_EQ(7.0f, unbound[5]) << "the buffer is still an input";

    // Setting an input slot to a resource bound as output leaves the slot empty.
    context()->CSSetShaderResources(0, 1, inputs);
    EXPECT_EQ(0.0f, probe.run()[3]);
    context()->OMSetRenderTargets(0, nullptr, nullptr);

    // One buffer bound as input (t1) and then as the output (u0): the input slot empties,
    // so values[0] and values[100] read 0 and are written to elements 4 and 5.
    context()->CSSetShaderResources(0, 2, inputs);
    probe.run(valuesOutput.get());
    std::vector<float> written = readBufferAs<float>(values.get());
    EXPECT_EQ(0.0f, written[4]);
    EXPECT_EQ(0.0f, written[5]);
    EXPECT_EQ(7.0f, written[100]);
    clearInputs();
}

TEST(Direct3DRules, UnorderedAccessClearsCopyBitsAndTheFloatClearNeedsAFormat) {
    REQUIRE_DEVICE();
    // The uint clear copies the low bits of each value into its channel, unconverted.
    Com<ID3D11Texture2D> floats = makeTexture2D(1, 1, DXGI_FORMAT_R32_FLOAT, colourBinds);
    Com<ID3D11UnorderedAccessView> floatsView = makeUav(floats.get());
    const UINT oneAsBits[4] = {0x3F800000u, 0, 0, 0};
    context()->ClearUnorderedAccessViewUint(floatsView.get(), oneAsBits);
    EXPECT_EQ(1.0f, readTexture2D(floats.get()).at<float>(0, 0));

    Com<ID3D11Texture2D> bytes = makeTexture2D(1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    Com<ID3D11UnorderedAccessView> bytesView = makeUav(bytes.get());
    const UINT wide[4] = {0x1FFu, 0x80u, 0x2u, 0x12345678u};
    context()->ClearUnorderedAccessViewUint(bytesView.get(), wide);
    Pixels texel = readTexture2D(bytes.get());
    EXPECT_EQ(0x780280FFu, texel.at<uint32_t>(0, 0)) << "bytes FF 80 02 78";

    // The float clear converts for typed views and leaves structured buffers alone.
    const float half[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    context()->ClearUnorderedAccessViewFloat(bytesView.get(), half);
    EXPECT_EQ(0xFF0080FFu, readTexture2D(bytes.get()).at<uint32_t>(0, 0));
    std::vector<float> sevens(4, 7.0f);
    Com<ID3D11Buffer> structured = makeStructured(sizeof(float), 4, sevens.data());
    Com<ID3D11UnorderedAccessView> structuredView = makeUav(structured.get());
    context()->ClearUnorderedAccessViewFloat(structuredView.get(), half);
    EXPECT_EQ(sevens, readBufferAs<float>(structured.get()));
}

D3D11_TEXTURE2D_DESC textureDesc(DXGI_FORMAT format, UINT binds, UINT misc = 0) {
    return describeTexture2D(4, 4, format, binds, misc ? 0 : 1, misc);
}

// A block that passes every format check but names two resources alike.
std::vector<uint8_t> blockWithOneNameTwice() {
    quavel::d3d11::ShaderBlock block;
    block.stage = quavel::d3d11::ShaderStage::Compute;
    using quavel::d3d11::BindingKind;
    using quavel::d3d11::noSampler;
    block.bindings = {{BindingKind::StructuredBuffer, "Data", 0, noSampler, ""},
                      {BindingKind::StructuredBuffer, "Data", 1, noSampler, ""}};
    block.glsl = "#version 450\nlayout(local_size_x = 1) in;\n"
                 "layout(std430, binding = 0) readonly buffer Data { float v[]; } data;\n"
                 "void main() {}\n";
    return quavel::d3d11::encodeShaderBlock(block);
}

TEST(Direct3DRules, WhatDirect3DRefusesIsRefusedAndTheDebugSwitchSaysWhy) {
    REQUIRE_DEVICE();
    ID3D11Device* d = device();
    ID3D11Texture2D* texture = nullptr;
    const UINT mipBinds = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET;
    D3D11_TEXTURE2D_DESC integerMips =
        textureDesc(DXGI_FORMAT_R32_UINT, mipBinds, D3D11_RESOURCE_MISC_GENERATE_MIPS);
    EXPECT_EQ(E_INVALIDARG, d->CreateTexture2D(&integerMips, nullptr, &texture));
    D3D11_TEXTURE2D_DESC mipsWithoutTarget = textureDesc(
        DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE, D3D11_RESOURCE_MISC_GENERATE_MIPS);
    EXPECT_EQ(E_INVALIDARG, d->CreateTexture2D(&mipsWithoutTarget, nullptr, &texture));
    D3D11_TEXTURE2D_DESC quality = textureDesc(DXGI_FORMAT_R8G8B8A8_UNORM, mipBinds);
    quality.SampleDesc.Quality = 1;
    EXPECT_EQ(E_INVALIDARG, d->CreateTexture2D(&quality, nullptr, &texture));
    EXPECT_EQ(nullptr, texture);

    D3D11_RASTERIZER_DESC rasterizer = {
        D3D11_FILL_SOLID, D3D11_CULL_BACK, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    ID3D11RasterizerState* state = nullptr;
    rasterizer.ScissorEnable = TRUE;
    EXPECT_EQ(E_INVALIDARG, d->CreateRasterizerState(&rasterizer, &state));
    rasterizer.ScissorEnable = FALSE;
    rasterizer.DepthBiasClamp = 0.5f;
    EXPECT_EQ(E_INVALIDARG, d->CreateRasterizerState(&rasterizer, &state));
    EXPECT_EQ(nullptr, state);

    // A typed texture's view names its format.
    Com<ID3D11Texture2D> image = makeTexture2D(1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    D3D11_SHADER_RESOURCE_VIEW_DESC unknown = {};
    unknown.Format = DXGI_FORMAT_UNKNOWN;
    unknown.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
    unknown.Texture2D.MipLevels = 1;
    ID3D11ShaderResourceView* view = nullptr;
    EXPECT_EQ(E_INVALIDARG, d->CreateShaderResourceView(image.get(), &unknown, &view));

    // CopyResource between two formats of one size copies nothing.
    const float one = 1.0f;
    Com<ID3D11Texture2D> floats =
        makeTexture2D(1, 1, DXGI_FORMAT_R32_FLOAT, colourBinds, &one, sizeof one);
    const uint32_t before = 0x01020304u;
    Com<ID3D11Texture2D> bytes =
        makeTexture2D(1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds, &before, sizeof before);
    context()->CopyResource(bytes.get(), floats.get());
    EXPECT_EQ(before, readTexture2D(bytes.get()).at<uint32_t>(0, 0));

    // Shaders asking for what the pipeline cannot bind as Direct3D would.
    ID3D11VertexShader* clipping = nullptr;
    EXPECT_EQ(E_INVALIDARG,
              d->CreateVertexShader(vsClipDistance, vsClipDistance_size, nullptr, &clipping));
    ID3D11PixelShader* writing = nullptr;
    EXPECT_EQ(E_INVALIDARG,
              d->CreatePixelShader(psUnorderedAccess, psUnorderedAccess_size, nullptr, &writing));
    const std::vector<uint8_t> twice = blockWithOneNameTwice();
    ID3D11ComputeShader* collapsed = nullptr;
    EXPECT_EQ(E_INVALIDARG,
              d->CreateComputeShader(twice.data(), twice.size(), nullptr, &collapsed));

    // Under the debug switch each refusal names its rule, one line each.
    setenv("QUAVEL_D3D11_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    rasterizer.DepthBiasClamp = 0;
    rasterizer.ScissorEnable = TRUE;
    d->CreateRasterizerState(&rasterizer, &state);
    d->CreateTexture2D(&integerMips, nullptr, &texture);
    context()->CopyResource(bytes.get(), floats.get());
    EXPECT_EQ(E_INVALIDARG, d->CreateShaderResourceView(image.get(), &unknown, &view));
    D3D11_SAMPLER_DESC sampler = {};
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    sampler.MaxAnisotropy = 17;
    ID3D11SamplerState* samplerState = nullptr;
    EXPECT_EQ(E_INVALIDARG, d->CreateSamplerState(&sampler, &samplerState));
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("QUAVEL_D3D11_DEBUG");
    for (const char* rule :
         {"CreateRasterizerState refused: ScissorEnable",
          "CreateTexture2D refused: MiscFlags GENERATE_MIPS",
          "CopyResource dropped: source and destination formats",
          "CreateShaderResourceView refused: Format UNKNOWN", "CreateSamplerState refused: "}) {
        EXPECT_NE(std::string::npos, said.find(rule)) << said;
    }
    testing::internal::CaptureStderr();
    d->CreateRasterizerState(&rasterizer, &state);
    EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "quiet without the switch";
}

TEST(Direct3DRules, BindingsHoldNoPublicReferencesAndCountsAreAtomic) {
    REQUIRE_DEVICE();
    ID3D11Device* own = nullptr;
    ID3D11DeviceContext* ownContext = nullptr;
    const D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
    ASSERT_EQ(S_OK, D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level, 1,
                                      D3D11_SDK_VERSION, &own, nullptr, &ownContext));
    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = 64;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS;
    desc.MiscFlags = D3D11_RESOURCE_MISC_BUFFER_STRUCTURED;
    desc.StructureByteStride = 4;
    ID3D11Buffer* buffer = nullptr;
    ASSERT_EQ(S_OK, own->CreateBuffer(&desc, nullptr, &buffer));
    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_EQ(S_OK, own->CreateShaderResourceView(buffer, nullptr, &view));

    // AddRef and Release from several threads at once lose no count.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([buffer] {
            for (int i = 0; i < 100000; ++i) {
                buffer->AddRef();
                buffer->Release();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(3u, buffer->AddRef()) << "ours and the view's, plus one";
    EXPECT_EQ(2u, buffer->Release());

    // Binding takes no public reference: the counts the application sees are its own. A view
    // the application has let go of keeps its resource by an internal reference.
    ownContext->PSSetShaderResources(0, 1, &view);
    ownContext->CSSetShaderResources(3, 1, &view);
    EXPECT_EQ(0u, view->Release());
    EXPECT_EQ(0u, buffer->Release());
    // The context counts on the device; with everything else released, the device goes with
    // the application's last reference, bindings and all.
    EXPECT_EQ(1u, ownContext->Release());
    EXPECT_EQ(0u, own->Release());
}

} // namespace
} // namespace d3d11_test
