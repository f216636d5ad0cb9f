// GraphRuntime on the device: the final pass that finalize adds, and the frame in its three
// forms (a whole frame, the state of a frame not looked at, a frame again), with restart.
#include "Fennick/graph_runtime.h"

#include <set>
#include <vector>

#include "Fennick/draw_pass_runtime.h"
#include "Fennick/final_pass_shaders.h"
#include "Fennick/frame_context.h"
#include "Fennick/frame_execution.h"
#include "Fennick/state_passes.h"
#include "Fennick/texture_layout.h"
#include "Fennick/texture_runtime.h"
#include "Fennick/upload_block.h"

namespace Fennick::gfx {

void GraphRuntime::finalize(float renderScale) {
    auto* presentation = new TextureRuntime();
    TextureDesc textureDesc;
    textureDesc.dimension = Tex2D;
    textureDesc.width = scaledExtent(kPresentationWidth, renderScale);
    textureDesc.height = scaledExtent(kPresentationHeight, renderScale);
    textureDesc.depth = 0;
    textureDesc.fixedSize = 0;
    textureDesc.scale = 1.0f;
    textureDesc.mipmaps = 0;
    textureDesc.format = FormatR16G16B16A16Float;
    textureDesc.reserved0 = 1;
    textureDesc.reserved1 = 1;
    presentation->init(textureDesc, 0);

    auto* copy = new DrawPassRuntime();
    DrawPassDesc passDesc;
    passDesc.clearColor[0] = 0.0f;
    passDesc.clearColor[1] = 0.0f;
    passDesc.clearColor[2] = 0.0f;
    passDesc.clearColor[3] = 1.0f;
    passDesc.clear = 1;
    passDesc.depth = 0;
    passDesc.cullBack = 0;
    passDesc.blend = 0;
    passDesc.blendMode = BlendAdditive;
    passDesc.topology = TopologyTriangleList;
    passDesc.vertexCount = 3;
    passDesc.instanceCount = 1;
    passDesc.runCondition = EveryFrame;
    const ShaderBytecode vertex = finalPassVertexShader();
    const ShaderBytecode pixel = finalPassPixelShader();
    passDesc.shader.vertexCode = vertex.code;
    passDesc.shader.vertexCodeSize = vertex.size;
    passDesc.shader.pixelCode = pixel.code;
    passDesc.shader.pixelCodeSize = pixel.size;
    passDesc.shader.computeCode = nullptr;
    passDesc.shader.computeCodeSize = 0;
    passDesc.renderTargets.push_back(RenderTargetBinding{presentation, 1});
    passDesc.inputs.push_back(ResourceBinding{Texture, output});
    copy->create(std::move(passDesc));

    passes.push_back(PassEntry{PassKind::Draw, copy, nullptr});
    output = presentation;
}

TextureRuntime* GraphRuntime::executeFrame() {
    runFrame(false);
    return output;
}

void GraphRuntime::executeStateFrame() {
    if (statePasses_.size() != passes.size())
        statePasses_ = passesCarryingState(*this);
    runFrame(true);
}

void GraphRuntime::runFrame(bool stateOnly) {
    frameParams.clearPacking();
    frameParams.set(params.list);

    const std::vector<uint8_t> block =
        buildUploadBlock(&frameContextData(), kContextDataSize, frameParams);
    const uint32_t blockSize = uint32_t(block.size());

    for (auto& node : resources)
        if (node.value)
            node.value->frameUpdate();

    for (std::size_t i = 0; i < passes.size(); ++i) {
        const PassEntry& entry = passes[i];
        if (stateOnly && !statePasses_[i])
            continue;
        const bool draw = entry.kind == PassKind::Draw && entry.draw &&
                          runConditionHolds(entry.draw->desc.runCondition, firstFrame);
        const bool compute = entry.kind == PassKind::Compute && entry.compute &&
                             runConditionHolds(entry.compute->desc.runCondition, firstFrame);
        if (!draw && !compute)
            continue;
        if (passObserver)
            passObserver->passStarts(i);
        if (draw)
            executeDrawPass(*entry.draw, block.data(), blockSize);
        else
            executeComputePass(*entry.compute, block.data(), blockSize);
        if (passObserver)
            passObserver->passEnds(i);
    }

    for (auto& node : resources)
        if (node.value && node.value->doubleBuffered == 1)
            node.value->swapped = !node.value->swapped;

    lastFirstFrame_ = firstFrame;
    firstFrame = 0;
}

void GraphRuntime::restart() {
    const std::set<const Resource*> written = resourcesPassesWrite(*this);
    // Only the graph's own resources: the presentation texture, which draws into the window's
    // back buffer and holds nothing from frame to frame, is not among them.
    for (auto& node : resources) {
        Resource* r = node.value;
        if (!r)
            continue;
        if (written.count(r)) {
            r->release();
            r->create();
        }
        r->swapped = 0;
    }
    firstFrame = 1;
}

void GraphRuntime::rewindFrame() {
    for (auto& node : resources)
        if (node.value && node.value->doubleBuffered == 1)
            node.value->swapped = !node.value->swapped;
    firstFrame = lastFirstFrame_;
}

} // namespace Fennick::gfx
