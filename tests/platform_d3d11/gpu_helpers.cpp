#include "gpu_helpers.h"

#include <cfloat>

namespace d3d11_test {

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

Com<ID3D11Texture2D> makeTexture2D(UINT width, UINT height, DXGI_FORMAT format, UINT binds,
                                   const void* data, UINT rowPitch, UINT mipLevels, UINT misc) {
    const D3D11_TEXTURE2D_DESC desc =
        describeTexture2D(width, height, format, binds, mipLevels, misc);
    D3D11_SUBRESOURCE_DATA initial = {data, rowPitch, 0};
    Com<ID3D11Texture2D> texture;
    EXPECT_EQ(S_OK, device()->CreateTexture2D(&desc, data ? &initial : nullptr, texture.out()));
    return texture;
}

Com<ID3D11Buffer> makeStructured(UINT stride, UINT count, const void* data) {
    D3D11_BUFFER_DESC desc = {stride * count,
                              D3D11_USAGE_DEFAULT,
                              D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS,
                              0,
                              D3D11_RESOURCE_MISC_BUFFER_STRUCTURED,
                              stride};
    D3D11_SUBRESOURCE_DATA initial = {data, 0, 0};
    Com<ID3D11Buffer> buffer;
    EXPECT_EQ(S_OK, device()->CreateBuffer(&desc, data ? &initial : nullptr, buffer.out()));
    return buffer;
}

Com<ID3D11Buffer> makeConstants(const TestParams& params) {
    D3D11_BUFFER_DESC desc = {
        sizeof(TestParams), D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    D3D11_SUBRESOURCE_DATA initial = {&params, 0, 0};
    Com<ID3D11Buffer> buffer;
    EXPECT_EQ(S_OK, device()->CreateBuffer(&desc, &initial, buffer.out()));
    return buffer;
}

Com<ID3D11ShaderResourceView> makeSrv(ID3D11Resource* resource) {
    Com<ID3D11ShaderResourceView> view;
    EXPECT_EQ(S_OK, device()->CreateShaderResourceView(resource, nullptr, view.out()));
    return view;
}

Com<ID3D11UnorderedAccessView> makeUav(ID3D11Resource* resource) {
    Com<ID3D11UnorderedAccessView> view;
    EXPECT_EQ(S_OK, device()->CreateUnorderedAccessView(resource, nullptr, view.out()));
    return view;
}

Com<ID3D11RenderTargetView> makeRtv(ID3D11Resource* resource) {
    Com<ID3D11RenderTargetView> view;
    EXPECT_EQ(S_OK, device()->CreateRenderTargetView(resource, nullptr, view.out()));
    return view;
}

Com<ID3D11VertexShader> makeVertexShader(const unsigned char* code, unsigned int size) {
    Com<ID3D11VertexShader> shader;
    EXPECT_EQ(S_OK, device()->CreateVertexShader(code, size, nullptr, shader.out()));
    return shader;
}

Com<ID3D11PixelShader> makePixelShader(const unsigned char* code, unsigned int size) {
    Com<ID3D11PixelShader> shader;
    EXPECT_EQ(S_OK, device()->CreatePixelShader(code, size, nullptr, shader.out()));
    return shader;
}

Com<ID3D11ComputeShader> makeComputeShader(const unsigned char* code, unsigned int size) {
    Com<ID3D11ComputeShader> shader;
    EXPECT_EQ(S_OK, device()->CreateComputeShader(code, size, nullptr, shader.out()));
    return shader;
}

std::vector<Com<ID3D11SamplerState>> makeShowSamplers() {
    const D3D11_FILTER filters[] = {D3D11_FILTER_MIN_MAG_MIP_LINEAR,
                                    D3D11_FILTER_MIN_MAG_MIP_POINT};
    const D3D11_TEXTURE_ADDRESS_MODE modes[] = {
        D3D11_TEXTURE_ADDRESS_CLAMP, D3D11_TEXTURE_ADDRESS_BORDER, D3D11_TEXTURE_ADDRESS_WRAP};
    std::vector<Com<ID3D11SamplerState>> samplers;
    for (D3D11_FILTER filter : filters) {
        for (D3D11_TEXTURE_ADDRESS_MODE mode : modes) {
            D3D11_SAMPLER_DESC desc = {
                filter,       mode,     mode,   mode, 0, 1, D3D11_COMPARISON_NEVER,
                {0, 0, 0, 0}, -FLT_MAX, FLT_MAX};
            samplers.emplace_back();
            EXPECT_EQ(S_OK, device()->CreateSamplerState(&desc, samplers.back().out()));
        }
    }
    return samplers;
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
    if (inputs > 0) {
        c->VSSetShaderResources(0, inputs, setup.inputs.data());
        c->PSSetShaderResources(0, inputs, setup.inputs.data());
    }
    c->VSSetShader(setup.vertex, nullptr, 0);
    c->PSSetShader(setup.pixel, nullptr, 0);
    c->DrawInstanced(setup.vertexCount, setup.instanceCount, 0, 0);
    std::vector<ID3D11ShaderResourceView*> none(inputs, nullptr);
    if (inputs > 0) {
        c->VSSetShaderResources(0, inputs, none.data());
        c->PSSetShaderResources(0, inputs, none.data());
    }
    c->OMSetRenderTargets(0, nullptr, nullptr);
}

void dispatch(ID3D11ComputeShader* shader, ID3D11Buffer* constants,
              const std::vector<ID3D11ShaderResourceView*>& inputs,
              const std::vector<ID3D11UnorderedAccessView*>& outputs, UINT x, UINT y, UINT z) {
    ID3D11DeviceContext* c = context();
    c->CSSetConstantBuffers(8, 1, &constants);
    if (!inputs.empty()) {
        c->CSSetShaderResources(0, UINT(inputs.size()), inputs.data());
    }
    if (!outputs.empty()) {
        c->CSSetUnorderedAccessViews(0, UINT(outputs.size()), outputs.data(), nullptr);
    }
    c->CSSetShader(shader, nullptr, 0);
    c->Dispatch(x, y, z);
    std::vector<ID3D11ShaderResourceView*> noInputs(inputs.size(), nullptr);
    std::vector<ID3D11UnorderedAccessView*> noOutputs(outputs.size(), nullptr);
    if (!inputs.empty()) {
        c->CSSetShaderResources(0, UINT(inputs.size()), noInputs.data());
    }
    if (!outputs.empty()) {
        c->CSSetUnorderedAccessViews(0, UINT(outputs.size()), noOutputs.data(), nullptr);
    }
    c->CSSetShader(nullptr, nullptr, 0);
}

} // namespace d3d11_test
