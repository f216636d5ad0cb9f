// Draws and dispatches: the pipeline state recorded by the context is applied to OpenGL in
// full before each one, so no OpenGL state needs tracking between calls.
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/device_context.h"
#include "platform/linux/d3d11/states.h"
#include "platform/linux/d3d11/views.h"

namespace quavel::d3d11 {
namespace {

struct TopologyMode {
    D3D11_PRIMITIVE_TOPOLOGY topology;
    GLenum mode;
};

const TopologyMode topologyModes[] = {
    {D3D11_PRIMITIVE_TOPOLOGY_POINTLIST, GL_POINTS},
    {D3D11_PRIMITIVE_TOPOLOGY_LINELIST, GL_LINES},
    {D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP, GL_LINE_STRIP},
    {D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST, GL_TRIANGLES},
    {D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP, GL_TRIANGLE_STRIP},
    {D3D11_PRIMITIVE_TOPOLOGY_LINELIST_ADJ, GL_LINES_ADJACENCY},
    {D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ, GL_LINE_STRIP_ADJACENCY},
    {D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ, GL_TRIANGLES_ADJACENCY},
    {D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ, GL_TRIANGLE_STRIP_ADJACENCY},
};

bool modeOf(D3D11_PRIMITIVE_TOPOLOGY topology, GLenum& mode) {
    for (const TopologyMode& entry : topologyModes) {
        if (entry.topology == topology) {
            mode = entry.mode;
            return true;
        }
    }
    return false;
}

GLenum depthAttachmentOf(const GlView& view) {
    return view.format->kind == FormatKind::DepthStencil ? GL_DEPTH_STENCIL_ATTACHMENT
                                                         : GL_DEPTH_ATTACHMENT;
}

void applyBlend(const GlBlend& blend, const FLOAT factor[4]) {
    if (blend.alphaToCoverage) {
        glEnable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    } else {
        glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    }
    for (GLuint i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        const GlBlendTarget& target = blend.targets[i];
        if (target.enable) {
            glEnablei(GL_BLEND, i);
            glBlendFuncSeparatei(i, target.sourceColour, target.destColour, target.sourceAlpha,
                                 target.destAlpha);
            glBlendEquationSeparatei(i, target.colourOp, target.alphaOp);
        } else {
            glDisablei(GL_BLEND, i);
        }
        glColorMaski(i, (target.writeMask & D3D11_COLOR_WRITE_ENABLE_RED) != 0,
                     (target.writeMask & D3D11_COLOR_WRITE_ENABLE_GREEN) != 0,
                     (target.writeMask & D3D11_COLOR_WRITE_ENABLE_BLUE) != 0,
                     (target.writeMask & D3D11_COLOR_WRITE_ENABLE_ALPHA) != 0);
    }
    glBlendColor(factor[0], factor[1], factor[2], factor[3]);
}

void applyRasterizer(const GlRasterizer& rasterizer) {
    glPolygonMode(GL_FRONT_AND_BACK, rasterizer.polygonMode);
    if (rasterizer.cull) {
        glEnable(GL_CULL_FACE);
        glCullFace(rasterizer.cullFace);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glFrontFace(rasterizer.frontFace);
    if (rasterizer.depthClip) {
        glDisable(GL_DEPTH_CLAMP);
    } else {
        glEnable(GL_DEPTH_CLAMP);
    }
    if (rasterizer.depthBias != 0.0f || rasterizer.slopeScaledDepthBias != 0.0f) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(rasterizer.slopeScaledDepthBias, rasterizer.depthBias);
    } else {
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    glDisable(GL_SCISSOR_TEST);
}

// No depth-stencil state objects exist in this layer: Direct3D's default state applies
// (depth test less, all depth bits written, stencil off). Without a depth view the test
// passes everything.
void applyDefaultDepthStencil() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_STENCIL_TEST);
}

} // namespace

bool DeviceContext::bindFramebuffer() {
    GLenum drawBuffers[D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT];
    bool anyAttachment = false;
    for (GLuint i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        const GlView* view = glView(renderTargets_[i].get());
        GLenum attachment = GL_COLOR_ATTACHMENT0 + i;
        glNamedFramebufferTexture(drawFramebuffer_, attachment, view ? view->texture : 0,
                                  view ? view->level : 0);
        drawBuffers[i] = view ? attachment : GL_NONE;
        anyAttachment = anyAttachment || view != nullptr;
    }
    glNamedFramebufferDrawBuffers(drawFramebuffer_, D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT,
                                  drawBuffers);
    const GlView* depth = glView(depthStencil_.get());
    glNamedFramebufferTexture(drawFramebuffer_, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    if (depth != nullptr) {
        glNamedFramebufferTexture(drawFramebuffer_, depthAttachmentOf(*depth), depth->texture,
                                  depth->level);
        anyAttachment = true;
    }
    if (!anyAttachment) {
        // Drawing for side effects only: the framebuffer takes the viewport's size.
        glNamedFramebufferParameteri(
            drawFramebuffer_, GL_FRAMEBUFFER_DEFAULT_WIDTH,
            static_cast<GLint>(viewports_[0].TopLeftX + viewports_[0].Width));
        glNamedFramebufferParameteri(
            drawFramebuffer_, GL_FRAMEBUFFER_DEFAULT_HEIGHT,
            static_cast<GLint>(viewports_[0].TopLeftY + viewports_[0].Height));
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFramebuffer_);
    return glCheckNamedFramebufferStatus(drawFramebuffer_, GL_DRAW_FRAMEBUFFER) ==
           GL_FRAMEBUFFER_COMPLETE;
}

void DeviceContext::applyFixedFunction() {
    for (GLuint i = 0; i < viewportCount_; ++i) {
        const D3D11_VIEWPORT& viewport = viewports_[i];
        // With the upper-left origin, a viewport's top-left corner is memory row TopLeftY;
        // one subpixel step higher for Direct3D's fill rule (fill_rule.h).
        glViewportIndexedf(i, viewport.TopLeftX, viewport.TopLeftY - device_.limits().rasterStep,
                           viewport.Width, viewport.Height);
        glDepthRangeIndexed(i, viewport.MinDepth, viewport.MaxDepth);
    }
    const GlRasterizer* rasterizer = glRasterizer(rasterizer_.get());
    applyRasterizer(rasterizer ? *rasterizer : defaultRasterizer());
    const GlBlend* blend = glBlend(blend_.get());
    applyBlend(blend ? *blend : defaultBlend(), blendFactor_);
    if (sampleMask_ != 0xffffffffu) {
        glEnable(GL_SAMPLE_MASK);
        glSampleMaski(0, sampleMask_);
    } else {
        glDisable(GL_SAMPLE_MASK);
    }
    applyDefaultDepthStencil();
}

void DeviceContext::bindStorage(GLuint unit, const GlView* view) {
    if (view != nullptr && view->resource->isBuffer()) {
        glBindBufferRange(GL_SHADER_STORAGE_BUFFER, unit, view->resource->name, view->offset,
                          view->size);
    } else {
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, unit, zeroBuffer_);
    }
}

void DeviceContext::bindSampledTexture(GLuint unit, const GlView* view) {
    if (view != nullptr && !view->resource->isBuffer()) {
        glBindTextureUnit(unit, view->texture);
        return;
    }
    // Whatever the sampler's dimension, it finds transparent black on this unit.
    for (GLuint texture : zeroTextures_) {
        glBindTextureUnit(unit, texture);
    }
}

void DeviceContext::bindProgramSlots(const LinkedProgram& program) {
    for (const ProgramSlot& slot : program.slots) {
        const StageBindings& stage = stages_[static_cast<int>(slot.stage)];
        switch (slot.kind) {
        case BindingKind::SampledTexture: {
            bindSampledTexture(slot.unit, glView(stage.resources[slot.registerIndex].get()));
            glBindSampler(slot.unit, slot.samplerRegister == noSampler
                                         ? 0
                                         : glSampler(stage.samplers[slot.samplerRegister].get()));
            break;
        }
        case BindingKind::ConstantBuffer: {
            const GlResource* buffer = glResource(stage.constantBuffers[slot.registerIndex].get());
            if (buffer != nullptr) {
                glBindBufferBase(GL_UNIFORM_BUFFER, slot.unit, buffer->name);
            } else {
                glBindBufferRange(GL_UNIFORM_BUFFER, slot.unit, zeroBuffer_, 0,
                                  kLargestConstantBuffer);
            }
            break;
        }
        case BindingKind::StructuredBuffer:
            bindStorage(slot.unit, glView(stage.resources[slot.registerIndex].get()));
            break;
        case BindingKind::RWStructuredBuffer:
            bindStorage(slot.unit, glView(unorderedAccess_[slot.registerIndex].get()));
            break;
        case BindingKind::RWTexture: {
            const GlView* view = glView(unorderedAccess_[slot.registerIndex].get());
            if (view != nullptr && !view->resource->isBuffer()) {
                glBindImageTexture(slot.unit, view->texture, view->level,
                                   view->layered ? GL_TRUE : GL_FALSE, 0, GL_READ_WRITE,
                                   view->format->internalFormat);
            } else {
                glBindImageTexture(slot.unit, 0, 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32F);
            }
            break;
        }
        }
    }
}

void DeviceContext::Draw(UINT vertexCount, UINT startVertex) {
    DrawInstanced(vertexCount, 1, startVertex, 0);
}

void DeviceContext::DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex, UINT) {
    GLenum mode = GL_NONE;
    const GlShader* vertex = glShader(vertexShader_.get());
    const GlShader* pixel = glShader(pixelShader_.get());
    if (vertexCount == 0 || instanceCount == 0 || viewportCount_ == 0 || vertex == nullptr ||
        !modeOf(topology_, mode)) {
        return;
    }
    device_.makeCurrent();
    const LinkedProgram& program = device_.graphicsProgram(vertex, pixel);
    if (program.program == 0 || !bindFramebuffer()) {
        return;
    }
    applyFixedFunction();
    glUseProgram(program.program);
    bindProgramSlots(program);
    glBindVertexArray(vertexArray_);
    // SV_InstanceID counts from 0 whatever the start instance; with no instance data to
    // fetch, the start instance has nothing else to do.
    glDrawArraysInstanced(mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount),
                          static_cast<GLsizei>(instanceCount));
    // Storage writes of a pixel shader become visible to every later pass.
    glMemoryBarrier(GL_ALL_BARRIER_BITS);
}

void DeviceContext::Dispatch(UINT x, UINT y, UINT z) {
    const GlShader* compute = glShader(computeShader_.get());
    const UINT limit = D3D11_CS_DISPATCH_MAX_THREAD_GROUPS_PER_DIMENSION;
    if (compute == nullptr || x == 0 || y == 0 || z == 0 || x > limit || y > limit || z > limit) {
        return;
    }
    device_.makeCurrent();
    // Storage images are declared with the format of the view bound to them.
    std::vector<std::string> imageFormats;
    for (const ShaderBinding& binding : compute->block.bindings) {
        if (binding.kind == BindingKind::RWTexture) {
            const GlView* view = glView(unorderedAccess_[binding.registerIndex].get());
            bool typed = view != nullptr && view->format != nullptr;
            imageFormats.push_back(typed ? view->format->imageQualifier : binding.format);
        }
    }
    const LinkedProgram& program = computeProgram(computeShader_.get(), imageFormats);
    if (program.program == 0) {
        return;
    }
    glUseProgram(program.program);
    bindProgramSlots(program);
    glDispatchCompute(x, y, z);
    // Everything the dispatch wrote is visible to every later dispatch, draw and copy.
    glMemoryBarrier(GL_ALL_BARRIER_BITS);
}

} // namespace quavel::d3d11
