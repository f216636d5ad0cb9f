// The part of an immediate context that every Direct3D layer (OpenGL, WebGPU) keeps the same
// way: the vertex, pixel and compute stages' constant buffers, resources, samplers and
// programs, held by reference. A layer derives its context from StagedContext and says in
// setConstantBuffers and setResources what binding an input means there (Direct3D's hazard
// rules: a resource bound as an output is bound as null); the stage setters of the interface
// all come here.
#pragma once

#include <cstddef>

#include "platform/linux/d3d11/com_object.h"

namespace quavel::d3d11 {

struct StageBindings {
    Ref<ID3D11Buffer> constantBuffers[D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT];
    Ref<ID3D11ShaderResourceView> resources[D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT];
    Ref<ID3D11SamplerState> samplers[D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT];
};

class StagedContext : public ID3D11DeviceContext {
public:
    void VSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) final {
        setConstantBuffers(VertexStage, start, count, buffers);
    }
    void PSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) final {
        setConstantBuffers(PixelStage, start, count, buffers);
    }
    void CSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) final {
        setConstantBuffers(ComputeStage, start, count, buffers);
    }
    void VSSetShaderResources(UINT start, UINT count,
                              ID3D11ShaderResourceView* const* views) final {
        setResources(VertexStage, start, count, views);
    }
    void PSSetShaderResources(UINT start, UINT count,
                              ID3D11ShaderResourceView* const* views) final {
        setResources(PixelStage, start, count, views);
    }
    void CSSetShaderResources(UINT start, UINT count,
                              ID3D11ShaderResourceView* const* views) final {
        setResources(ComputeStage, start, count, views);
    }
    void VSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) final {
        assignRange(stages_[VertexStage].samplers, start, count, samplers);
    }
    void PSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) final {
        assignRange(stages_[PixelStage].samplers, start, count, samplers);
    }
    void CSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) final {
        assignRange(stages_[ComputeStage].samplers, start, count, samplers);
    }
    void VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const*, UINT) final {
        vertexShader_ = shader;
    }
    void PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const*, UINT) final {
        pixelShader_ = shader;
    }
    void CSSetShader(ID3D11ComputeShader* shader, ID3D11ClassInstance* const*, UINT) final {
        computeShader_ = shader;
    }

protected:
    enum Stage { VertexStage = 0, PixelStage = 1, ComputeStage = 2, StageCount = 3 };

    // Copies a range of bindings into slots (null where `objects` is null), ignoring whatever
    // reaches past the last slot, as Direct3D does.
    template <class T, std::size_t N>
    static void assignRange(Ref<T> (&slots)[N], UINT start, UINT count, T* const* objects) {
        for (UINT i = 0; i < count && start + i < N; ++i) {
            slots[start + i] = objects != nullptr ? objects[i] : nullptr;
        }
    }

    virtual void setConstantBuffers(Stage stage, UINT start, UINT count,
                                    ID3D11Buffer* const* buffers) = 0;
    virtual void setResources(Stage stage, UINT start, UINT count,
                              ID3D11ShaderResourceView* const* views) = 0;

    StageBindings stages_[StageCount];
    Ref<ID3D11VertexShader> vertexShader_;
    Ref<ID3D11PixelShader> pixelShader_;
    Ref<ID3D11ComputeShader> computeShader_;
};

} // namespace quavel::d3d11
