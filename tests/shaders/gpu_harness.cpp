#include "shaders/gpu_harness.h"

#include <cfloat>
#include <cstring>

namespace {

// The show's six samplers: linear then point, each clamped, bordered and wrapped.
D3D11_SAMPLER_DESC samplerDesc(int slot) {
    static const D3D11_TEXTURE_ADDRESS_MODE modes[3] = {
        D3D11_TEXTURE_ADDRESS_CLAMP, D3D11_TEXTURE_ADDRESS_BORDER, D3D11_TEXTURE_ADDRESS_WRAP};
    D3D11_SAMPLER_DESC d{};
    d.Filter = slot < 3 ? D3D11_FILTER_MIN_MAG_MIP_LINEAR : D3D11_FILTER_MIN_MAG_MIP_POINT;
    d.AddressU = d.AddressV = d.AddressW = modes[slot % 3];
    d.MaxAnisotropy = 1;
    d.ComparisonFunc = D3D11_COMPARISON_NEVER;
    d.MinLOD = -FLT_MAX;
    d.MaxLOD = FLT_MAX;
    return d;
}

} // namespace

GpuHarness::GpuHarness() {
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level, 1,
                                 D3D11_SDK_VERSION, device_.out(), nullptr, context_.out()))) {
        device_.reset();
        return;
    }
    std::vector<ID3D11SamplerState*> raw;
    for (int slot = 0; slot < 6; ++slot) {
        D3D11_SAMPLER_DESC d = samplerDesc(slot);
        Ref<ID3D11SamplerState> s;
        device_->CreateSamplerState(&d, s.out());
        raw.push_back(s.get());
        samplers_.push_back(std::move(s));
    }
    context_->VSSetSamplers(0, 6, raw.data());
    context_->PSSetSamplers(0, 6, raw.data());
    context_->CSSetSamplers(0, 6, raw.data());
}

GpuTexture GpuHarness::texture(int width, int height, const std::vector<Rgba>& texels) {
    GpuTexture t;
    t.width = width;
    t.height = height;
    D3D11_TEXTURE2D_DESC d{};
    d.Width = width;
    d.Height = height;
    d.MipLevels = 1;
    d.ArraySize = 1;
    d.Format = DXGI_FORMAT_R32G32B32A32_FLOAT;
    d.SampleDesc.Count = 1;
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    D3D11_SUBRESOURCE_DATA init{texels.data(), UINT(width * sizeof(Rgba)), 0};
    device_->CreateTexture2D(&d, &init, t.texture.out());
    device_->CreateShaderResourceView(t.texture.get(), nullptr, t.srv.out());
    return t;
}

GpuTexture GpuHarness::renderTarget(int width, int height) {
    GpuTexture t;
    t.width = width;
    t.height = height;
    D3D11_TEXTURE2D_DESC d{};
    d.Width = width;
    d.Height = height;
    d.MipLevels = 1;
    d.ArraySize = 1;
    d.Format = DXGI_FORMAT_R32G32B32A32_FLOAT;
    d.SampleDesc.Count = 1;
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    device_->CreateTexture2D(&d, nullptr, t.texture.out());
    device_->CreateRenderTargetView(t.texture.get(), nullptr, t.rtv.out());
    device_->CreateShaderResourceView(t.texture.get(), nullptr, t.srv.out());
    return t;
}

GpuBuffer GpuHarness::structuredBuffer(const void* data, size_t stride, size_t count) {
    GpuBuffer b;
    D3D11_BUFFER_DESC d{};
    d.ByteWidth = UINT(stride * count);
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS;
    d.MiscFlags = D3D11_RESOURCE_MISC_BUFFER_STRUCTURED;
    d.StructureByteStride = UINT(stride);
    D3D11_SUBRESOURCE_DATA init{data, 0, 0};
    device_->CreateBuffer(&d, data ? &init : nullptr, b.buffer.out());

    D3D11_SHADER_RESOURCE_VIEW_DESC srv{};
    srv.Format = DXGI_FORMAT_UNKNOWN;
    srv.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
    srv.Buffer.FirstElement = 0;
    srv.Buffer.NumElements = UINT(count);
    device_->CreateShaderResourceView(b.buffer.get(), &srv, b.srv.out());

    D3D11_UNORDERED_ACCESS_VIEW_DESC uav{};
    uav.Format = DXGI_FORMAT_UNKNOWN;
    uav.ViewDimension = D3D11_UAV_DIMENSION_BUFFER;
    uav.Buffer.FirstElement = 0;
    uav.Buffer.NumElements = UINT(count);
    device_->CreateUnorderedAccessView(b.buffer.get(), &uav, b.uav.out());
    return b;
}

Ref<ID3D11Buffer> GpuHarness::constantBuffer(const ContextBlock& context) {
    Ref<ID3D11Buffer> cb;
    D3D11_BUFFER_DESC d{};
    d.ByteWidth = ContextBlock::kSize;
    d.Usage = D3D11_USAGE_DEFAULT;
    d.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    device_->CreateBuffer(&d, nullptr, cb.out());
    context_->UpdateSubresource(cb.get(), 0, nullptr, context.data(), 0, 0);
    return cb;
}

void GpuHarness::draw(ShaderBlock vs, ShaderBlock ps,
                      const std::vector<ID3D11ShaderResourceView*>& inputs,
                      const ContextBlock& context, GpuTexture& target, unsigned vertexCount,
                      unsigned instanceCount, Rgba clear) {
    Ref<ID3D11VertexShader> vertex;
    Ref<ID3D11PixelShader> pixel;
    device_->CreateVertexShader(vs.data, vs.size, nullptr, vertex.out());
    device_->CreatePixelShader(ps.data, ps.size, nullptr, pixel.out());
    Ref<ID3D11Buffer> cb = constantBuffer(context);

    D3D11_RASTERIZER_DESC rd{};
    rd.FillMode = D3D11_FILL_SOLID;
    rd.CullMode = D3D11_CULL_NONE;
    rd.DepthClipEnable = TRUE;
    Ref<ID3D11RasterizerState> rs;
    device_->CreateRasterizerState(&rd, rs.out());
    D3D11_BLEND_DESC bd{};
    bd.RenderTarget[0].RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    Ref<ID3D11BlendState> bs;
    device_->CreateBlendState(&bd, bs.out());

    D3D11_VIEWPORT vp{0, 0, float(target.width), float(target.height), 0, 1};
    context_->RSSetViewports(1, &vp);
    context_->RSSetState(rs.get());
    context_->OMSetBlendState(bs.get(), nullptr, 0xFFFFFFFF);
    const FLOAT clearColour[4] = {clear.r, clear.g, clear.b, clear.a};
    context_->ClearRenderTargetView(target.rtv.get(), clearColour);
    ID3D11RenderTargetView* rtv = target.rtv.get();
    context_->OMSetRenderTargets(1, &rtv, nullptr);
    context_->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    ID3D11Buffer* cbs = cb.get();
    context_->VSSetConstantBuffers(8, 1, &cbs);
    context_->PSSetConstantBuffers(8, 1, &cbs);
    for (size_t i = 0; i < inputs.size(); ++i) {
        context_->VSSetShaderResources(UINT(i), 1, &inputs[i]);
        context_->PSSetShaderResources(UINT(i), 1, &inputs[i]);
    }
    context_->VSSetShader(vertex.get(), nullptr, 0);
    context_->PSSetShader(pixel.get(), nullptr, 0);
    context_->DrawInstanced(vertexCount, instanceCount, 0, 0);

    std::vector<ID3D11ShaderResourceView*> none(inputs.size(), nullptr);
    if (!none.empty()) {
        context_->VSSetShaderResources(0, UINT(none.size()), none.data());
        context_->PSSetShaderResources(0, UINT(none.size()), none.data());
    }
    context_->OMSetRenderTargets(0, nullptr, nullptr);
}

void GpuHarness::dispatch(ShaderBlock cs, const std::vector<ID3D11ShaderResourceView*>& inputs,
                          const std::vector<ID3D11UnorderedAccessView*>& outputs,
                          const ContextBlock& context, unsigned groupsX) {
    Ref<ID3D11ComputeShader> kernel;
    device_->CreateComputeShader(cs.data, cs.size, nullptr, kernel.out());
    Ref<ID3D11Buffer> cb = constantBuffer(context);
    ID3D11Buffer* cbs = cb.get();
    context_->CSSetConstantBuffers(8, 1, &cbs);
    if (!inputs.empty())
        context_->CSSetShaderResources(0, UINT(inputs.size()), inputs.data());
    context_->CSSetUnorderedAccessViews(UINT(inputs.size()), UINT(outputs.size()), outputs.data(),
                                        nullptr);
    context_->CSSetShader(kernel.get(), nullptr, 0);
    context_->Dispatch(groupsX, 1, 1);

    std::vector<ID3D11ShaderResourceView*> noInputs(inputs.size(), nullptr);
    std::vector<ID3D11UnorderedAccessView*> noOutputs(outputs.size(), nullptr);
    if (!noInputs.empty())
        context_->CSSetShaderResources(0, UINT(noInputs.size()), noInputs.data());
    context_->CSSetUnorderedAccessViews(UINT(inputs.size()), UINT(noOutputs.size()),
                                        noOutputs.data(), nullptr);
    context_->CSSetShader(nullptr, nullptr, 0);
}

std::vector<Rgba> GpuHarness::read(GpuTexture& t) {
    D3D11_TEXTURE2D_DESC d{};
    t.texture->GetDesc(&d);
    d.Usage = D3D11_USAGE_STAGING;
    d.BindFlags = 0;
    d.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    d.MiscFlags = 0;
    Ref<ID3D11Texture2D> staging;
    device_->CreateTexture2D(&d, nullptr, staging.out());
    context_->CopyResource(staging.get(), t.texture.get());
    std::vector<Rgba> out(size_t(t.width) * t.height);
    D3D11_MAPPED_SUBRESOURCE m{};
    if (SUCCEEDED(context_->Map(staging.get(), 0, D3D11_MAP_READ, 0, &m))) {
        for (int y = 0; y < t.height; ++y)
            std::memcpy(&out[size_t(y) * t.width],
                        static_cast<const uint8_t*>(m.pData) + y * m.RowPitch,
                        t.width * sizeof(Rgba));
        context_->Unmap(staging.get(), 0);
    }
    return out;
}

std::vector<uint8_t> GpuHarness::read(GpuBuffer& b) {
    D3D11_BUFFER_DESC d{};
    b.buffer->GetDesc(&d);
    d.Usage = D3D11_USAGE_STAGING;
    d.BindFlags = 0;
    d.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    d.MiscFlags = 0;
    Ref<ID3D11Buffer> staging;
    device_->CreateBuffer(&d, nullptr, staging.out());
    context_->CopyResource(staging.get(), b.buffer.get());
    std::vector<uint8_t> out(d.ByteWidth);
    D3D11_MAPPED_SUBRESOURCE m{};
    if (SUCCEEDED(context_->Map(staging.get(), 0, D3D11_MAP_READ, 0, &m))) {
        std::memcpy(out.data(), m.pData, out.size());
        context_->Unmap(staging.get(), 0);
    }
    return out;
}
