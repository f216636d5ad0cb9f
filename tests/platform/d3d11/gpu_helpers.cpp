#include "gpu_helpers.h"

#include <cmath>

namespace d3d11_test {

TestDevice& testDevice() {
    static TestDevice test = [] {
        TestDevice made;
        const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
        if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 2,
                                     D3D11_SDK_VERSION, &made.device, nullptr, &made.context))) {
            made = TestDevice();
        }
        return made;
    }();
    return test;
}

namespace {

// Copies `resource` into a staging twin described by `desc` (made by `create`), maps it and
// packs its rows (and slices) tightly.
template <class Resource, class Desc, class Create>
std::vector<uint8_t> readBack(Resource* resource, Desc desc, Create create, UINT rowBytes,
                              UINT rows, UINT slices) {
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    Com<Resource> staging;
    if (FAILED(create(&desc, staging.out()))) {
        return {};
    }
    context()->CopyResource(staging.get(), resource);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    std::vector<uint8_t> bytes(size_t(rowBytes) * rows * slices);
    if (FAILED(context()->Map(staging.get(), 0, D3D11_MAP_READ, 0, &mapped))) {
        return {};
    }
    packMappedRows(mapped, rowBytes, rows, slices, bytes.data());
    context()->Unmap(staging.get(), 0);
    return bytes;
}

} // namespace

Pixels readTexture2D(ID3D11Texture2D* texture, UINT level) {
    return ::readTexture2D(device(), context(), texture, level);
}

std::vector<uint8_t> readTexture3D(ID3D11Texture3D* texture) {
    D3D11_TEXTURE3D_DESC desc;
    texture->GetDesc(&desc);
    return readBack(
        texture, desc,
        [](auto* d, auto** out) { return device()->CreateTexture3D(d, nullptr, out); },
        desc.Width * bytesPerTexel(desc.Format), desc.Height, desc.Depth);
}

std::vector<uint8_t> readTexture1D(ID3D11Texture1D* texture) {
    D3D11_TEXTURE1D_DESC desc;
    texture->GetDesc(&desc);
    return readBack(
        texture, desc,
        [](auto* d, auto** out) { return device()->CreateTexture1D(d, nullptr, out); },
        desc.Width * bytesPerTexel(desc.Format), 1, 1);
}

std::vector<uint8_t> readBuffer(ID3D11Buffer* buffer) {
    D3D11_BUFFER_DESC desc;
    buffer->GetDesc(&desc);
    desc.StructureByteStride = 0;
    return readBack(
        buffer, desc, [](auto* d, auto** out) { return device()->CreateBuffer(d, nullptr, out); },
        desc.ByteWidth, 1, 1);
}

float halfToFloat(uint16_t half) {
    int exponent = (half >> 10) & 0x1f;
    int mantissa = half & 0x3ff;
    float sign = (half & 0x8000) ? -1.0f : 1.0f;
    if (exponent == 0) {
        return sign * std::ldexp(static_cast<float>(mantissa), -24);
    }
    if (exponent == 31) {
        return mantissa ? NAN : sign * INFINITY;
    }
    return sign * std::ldexp(static_cast<float>(mantissa + 1024), exponent - 25);
}

D3D11_TEXTURE2D_DESC describeTexture2D(UINT width, UINT height, DXGI_FORMAT format, UINT binds,
                                       UINT mipLevels, UINT misc) {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = mipLevels;
    desc.ArraySize = 1;
    desc.Format = format;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = binds;
    desc.MiscFlags = misc;
    return desc;
}

namespace {

// An object made by `create`, which must succeed.
template <class T, class Create> Com<T> made(Create create) {
    Com<T> object;
    EXPECT_EQ(S_OK, create(object.out()));
    return object;
}

} // namespace

Com<ID3D11Texture2D> makeTexture2D(UINT width, UINT height, DXGI_FORMAT format, UINT binds,
                                   const void* data, UINT rowPitch, UINT mipLevels, UINT misc) {
    const D3D11_TEXTURE2D_DESC desc =
        describeTexture2D(width, height, format, binds, mipLevels, misc);
    const D3D11_SUBRESOURCE_DATA initial = {data, rowPitch, 0};
    return made<ID3D11Texture2D>(
        [&](auto out) { return device()->CreateTexture2D(&desc, data ? &initial : nullptr, out); });
}

Com<ID3D11Buffer> makeStructured(UINT stride, UINT count, const void* data) {
    const D3D11_BUFFER_DESC desc = {stride * count,
                                    D3D11_USAGE_DEFAULT,
                                    D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS,
                                    0,
                                    D3D11_RESOURCE_MISC_BUFFER_STRUCTURED,
                                    stride};
    const D3D11_SUBRESOURCE_DATA initial = {data, 0, 0};
    return made<ID3D11Buffer>(
        [&](auto out) { return device()->CreateBuffer(&desc, data ? &initial : nullptr, out); });
}

Com<ID3D11Buffer> makeConstants(const TestParams& params) {
    const D3D11_BUFFER_DESC desc = {
        sizeof(TestParams), D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    const D3D11_SUBRESOURCE_DATA initial = {&params, 0, 0};
    return made<ID3D11Buffer>(
        [&](auto out) { return device()->CreateBuffer(&desc, &initial, out); });
}

Com<ID3D11ShaderResourceView> makeSrv(ID3D11Resource* resource) {
    return made<ID3D11ShaderResourceView>(
        [&](auto out) { return device()->CreateShaderResourceView(resource, nullptr, out); });
}

Com<ID3D11UnorderedAccessView> makeUav(ID3D11Resource* resource) {
    return made<ID3D11UnorderedAccessView>(
        [&](auto out) { return device()->CreateUnorderedAccessView(resource, nullptr, out); });
}

Com<ID3D11RenderTargetView> makeRtv(ID3D11Resource* resource) {
    return made<ID3D11RenderTargetView>(
        [&](auto out) { return device()->CreateRenderTargetView(resource, nullptr, out); });
}

Com<ID3D11VertexShader> makeVertexShader(const unsigned char* code, unsigned int size) {
    return made<ID3D11VertexShader>(
        [&](auto out) { return device()->CreateVertexShader(code, size, nullptr, out); });
}

Com<ID3D11PixelShader> makePixelShader(const unsigned char* code, unsigned int size) {
    return made<ID3D11PixelShader>(
        [&](auto out) { return device()->CreatePixelShader(code, size, nullptr, out); });
}

Com<ID3D11ComputeShader> makeComputeShader(const unsigned char* code, unsigned int size) {
    return made<ID3D11ComputeShader>(
        [&](auto out) { return device()->CreateComputeShader(code, size, nullptr, out); });
}

void draw(const DrawSetup& setup) {
    ID3D11DeviceContext* c = context();
    D3D11_VIEWPORT viewport = {0, 0, float(setup.width), float(setup.height), 0, 1};
    c->RSSetViewports(1, setup.viewport ? setup.viewport : &viewport);
    c->OMSetRenderTargets(UINT(setup.targets.size()), setup.targets.data(), setup.depth);
    c->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    c->VSSetConstantBuffers(8, 1, &setup.constants);
    c->PSSetConstantBuffers(8, 1, &setup.constants);
    UINT inputs = UINT(setup.inputs.size());
    c->VSSetShaderResources(0, inputs, setup.inputs.data());
    c->PSSetShaderResources(0, inputs, setup.inputs.data());
    c->VSSetShader(setup.vertex, nullptr, 0);
    c->PSSetShader(setup.pixel, nullptr, 0);
    c->DrawInstanced(setup.vertexCount, setup.instanceCount, 0, 0);
    std::vector<ID3D11ShaderResourceView*> none(inputs, nullptr);
    c->VSSetShaderResources(0, inputs, none.data());
    c->PSSetShaderResources(0, inputs, none.data());
    c->OMSetRenderTargets(0, nullptr, nullptr);
}

void dispatch(ID3D11ComputeShader* shader, ID3D11Buffer* constants,
              const std::vector<ID3D11ShaderResourceView*>& inputs,
              const std::vector<ID3D11UnorderedAccessView*>& outputs, UINT x, UINT y, UINT z) {
    ID3D11DeviceContext* c = context();
    c->CSSetConstantBuffers(8, 1, &constants);
    c->CSSetShaderResources(0, UINT(inputs.size()), inputs.data());
    c->CSSetUnorderedAccessViews(0, UINT(outputs.size()), outputs.data(), nullptr);
    c->CSSetShader(shader, nullptr, 0);
    c->Dispatch(x, y, z);
    // Unbinding: an output left bound would empty the next test's input slots.
    std::vector<ID3D11ShaderResourceView*> noInputs(inputs.size(), nullptr);
    std::vector<ID3D11UnorderedAccessView*> noOutputs(outputs.size(), nullptr);
    c->CSSetShaderResources(0, UINT(inputs.size()), noInputs.data());
    c->CSSetUnorderedAccessViews(0, UINT(outputs.size()), noOutputs.data(), nullptr);
    c->CSSetShader(nullptr, nullptr, 0);
}

} // namespace d3d11_test
