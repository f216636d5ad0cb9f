// Clears, mip generation, uploads, copies and mapping. Staging resources live in client
// memory, so copies into them read the GPU object back at once and Map never waits.
#include <algorithm>
#include <cstring>

#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/device_context.h"
#include "platform/linux/d3d11/refusals.h"
#include "platform/linux/d3d11/views.h"

namespace quavel::d3d11 {
namespace {

// A box within one subresource, clipped to nothing when it does not fit.
bool resolveBox(const GlResource& resource, UINT level, const D3D11_BOX* requested,
                D3D11_BOX& box) {
    if (resource.isBuffer()) {
        box = {0, 0, 0, resource.byteWidth, 1, 1};
    } else {
        box = {0,
               0,
               0,
               resource.levelWidth(level),
               resource.levelHeight(level),
               resource.levelDepth(level)};
    }
    if (requested == nullptr) {
        return true;
    }
    const D3D11_BOX& r = *requested;
    bool inside = r.left < r.right && r.top < r.bottom && r.front < r.back &&
                  r.right <= box.right && r.bottom <= box.bottom && r.back <= box.back;
    box = r;
    return inside;
}

UINT bytesPerChannel(const FormatInfo& format) {
    switch (format.transferType) {
    case GL_UNSIGNED_BYTE:
        return 1;
    case GL_HALF_FLOAT:
        return 2;
    default:
        return 4;
    }
}

// Channel `index` of a texel of `size`-byte channels receives the low bits of `value`.
void storeLowBits(uint8_t* texel, UINT index, UINT size, UINT value) {
    if (size == 1) {
        texel[index] = static_cast<uint8_t>(value);
    } else if (size == 2) {
        const auto bits = static_cast<uint16_t>(value);
        std::memcpy(texel + 2 * index, &bits, 2);
    } else {
        std::memcpy(texel + 4 * index, &value, 4);
    }
}

bool validSubresource(const GlResource& resource, UINT subresource) {
    return resource.isBuffer() ? subresource == 0 : subresource < resource.levels;
}

void readTextureRegion(const GlResource& texture, UINT level, const D3D11_BOX& box, void* out,
                       size_t size) {
    const FormatInfo& format = *texture.format;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTextureSubImage(texture.name, level, box.left, box.top, box.front, box.right - box.left,
                         box.bottom - box.top, box.back - box.front, format.transferFormat,
                         format.transferType, static_cast<GLsizei>(size), out);
    if (format.kind == FormatKind::DepthStencil) {
        uint8_t* bytes = static_cast<uint8_t*>(out);
        for (size_t offset = 0; offset + 4 <= size; offset += 4) {
            uint32_t texel;
            std::memcpy(&texel, bytes + offset, 4);
            texel = depthStencilFromGl(texel);
            std::memcpy(bytes + offset, &texel, 4);
        }
    }
}

// Byte address of texel (x, y, z) of a level in staging memory.
uint8_t* stagingTexel(GlResource& texture, UINT level, UINT x, UINT y, UINT z) {
    return texture.shadow.data() + texture.levelOffset(level) +
           size_t(z) * texture.depthPitch(level) + size_t(y) * texture.rowPitch(level) +
           size_t(x) * texture.format->bytesPerTexel;
}

void copyTextureRegion(GlResource& destination, UINT destinationLevel, UINT x, UINT y, UINT z,
                       GlResource& source, UINT sourceLevel, const D3D11_BOX& box) {
    UINT width = box.right - box.left, height = box.bottom - box.top, depth = box.back - box.front;
    UINT rowBytes = width * source.format->bytesPerTexel;
    if (!destination.isStaging() && !source.isStaging()) {
        glCopyImageSubData(source.name, source.target, sourceLevel, box.left, box.top, box.front,
                           destination.name, destination.target, destinationLevel, x, y, z, width,
                           height, depth);
        return;
    }
    // Through a tightly packed block in client memory.
    std::vector<uint8_t> block(size_t(rowBytes) * height * depth);
    if (source.isStaging()) {
        for (UINT slice = 0; slice < depth; ++slice) {
            for (UINT row = 0; row < height; ++row) {
                std::memcpy(
                    block.data() + (size_t(slice) * height + row) * rowBytes,
                    stagingTexel(source, sourceLevel, box.left, box.top + row, box.front + slice),
                    rowBytes);
            }
        }
    } else {
        readTextureRegion(source, sourceLevel, box, block.data(), block.size());
    }
    if (destination.isStaging()) {
        for (UINT slice = 0; slice < depth; ++slice) {
            for (UINT row = 0; row < height; ++row) {
                std::memcpy(stagingTexel(destination, destinationLevel, x, y + row, z + slice),
                            block.data() + (size_t(slice) * height + row) * rowBytes, rowBytes);
            }
        }
    } else {
        D3D11_BOX target = {x, y, z, x + width, y + height, z + depth};
        uploadTextureRegion(destination, destinationLevel, target, block.data(), 0, 0);
    }
}

void copyBufferRange(GlResource& destination, UINT destinationOffset, GlResource& source,
                     UINT sourceOffset, UINT size) {
    if (destination.isStaging() && source.isStaging()) {
        std::memmove(destination.shadow.data() + destinationOffset,
                     source.shadow.data() + sourceOffset, size);
    } else if (destination.isStaging()) {
        glGetNamedBufferSubData(source.name, sourceOffset, size,
                                destination.shadow.data() + destinationOffset);
    } else if (source.isStaging()) {
        glNamedBufferSubData(destination.name, destinationOffset, size,
                             source.shadow.data() + sourceOffset);
    } else {
        glCopyNamedBufferSubData(source.name, destination.name, sourceOffset, destinationOffset,
                                 size);
    }
}

bool sameShape(const GlResource& a, const GlResource& b) {
    if (a.dimension != b.dimension) {
        return false;
    }
    if (a.isBuffer()) {
        return a.byteWidth == b.byteWidth;
    }
    return a.width == b.width && a.height == b.height && a.depth == b.depth &&
           a.levels == b.levels && a.format->bytesPerTexel == b.format->bytesPerTexel;
}

} // namespace

GLuint DeviceContext::scratchFramebufferWith(const GlView& view, bool depth) {
    for (GLuint i = 0; i < D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT; ++i) {
        glNamedFramebufferTexture(scratchFramebuffer_, GL_COLOR_ATTACHMENT0 + i, 0, 0);
    }
    glNamedFramebufferTexture(scratchFramebuffer_, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    GLenum attachment = GL_COLOR_ATTACHMENT0;
    if (depth) {
        attachment = view.format->kind == FormatKind::DepthStencil ? GL_DEPTH_STENCIL_ATTACHMENT
                                                                   : GL_DEPTH_ATTACHMENT;
    }
    glNamedFramebufferTexture(scratchFramebuffer_, attachment, view.texture, view.level);
    glNamedFramebufferDrawBuffer(scratchFramebuffer_, depth ? GL_NONE : GL_COLOR_ATTACHMENT0);
    // Clears ignore the pipeline's write masks and scissor in Direct3D.
    glDisable(GL_SCISSOR_TEST);
    glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xff);
    return scratchFramebuffer_;
}

void DeviceContext::ClearRenderTargetView(ID3D11RenderTargetView* target, const FLOAT colour[4]) {
    const GlView* view = glView(target);
    if (view == nullptr || colour == nullptr) {
        return;
    }
    device_.makeCurrent();
    GLuint framebuffer = scratchFramebufferWith(*view, false);
    switch (view->format->kind) {
    case FormatKind::Uint: {
        GLuint values[4];
        for (int i = 0; i < 4; ++i) {
            values[i] = static_cast<GLuint>(colour[i]);
        }
        glClearNamedFramebufferuiv(framebuffer, GL_COLOR, 0, values);
        break;
    }
    case FormatKind::Sint: {
        GLint values[4];
        for (int i = 0; i < 4; ++i) {
            values[i] = static_cast<GLint>(colour[i]);
        }
        glClearNamedFramebufferiv(framebuffer, GL_COLOR, 0, values);
        break;
    }
    default:
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, 0, colour);
        break;
    }
}

void DeviceContext::ClearDepthStencilView(ID3D11DepthStencilView* target, UINT flags, FLOAT depth,
                                          UINT8 stencil) {
    const GlView* view = glView(target);
    if (view == nullptr) {
        return;
    }
    device_.makeCurrent();
    GLuint framebuffer = scratchFramebufferWith(*view, true);
    bool hasStencil = view->format->kind == FormatKind::DepthStencil;
    bool clearDepth = flags & D3D11_CLEAR_DEPTH;
    bool clearStencil = hasStencil && (flags & D3D11_CLEAR_STENCIL);
    if (clearDepth && clearStencil) {
        glClearNamedFramebufferfi(framebuffer, GL_DEPTH_STENCIL, 0, depth, stencil);
    } else if (clearDepth) {
        glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &depth);
    } else if (clearStencil) {
        GLint value = stencil;
        glClearNamedFramebufferiv(framebuffer, GL_STENCIL, 0, &value);
    }
}

void DeviceContext::ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView* target,
                                                 const UINT values[4]) {
    const GlView* view = glView(target);
    if (view == nullptr || values == nullptr) {
        return;
    }
    device_.makeCurrent();
    if (view->resource->isBuffer()) {
        // Structured views take the first value as raw bits for every 32-bit word.
        glClearNamedBufferSubData(view->resource->name, GL_R32UI, view->offset, view->size,
                                  GL_RED_INTEGER, GL_UNSIGNED_INT, &values[0]);
    } else {
        // No conversion: each channel receives the low bits of its value, so 0x3F800000
        // clears an R32_FLOAT texel to 1.0 and 0x1FF an 8-bit channel to 0xFF.
        uint8_t texel[16];
        const FormatInfo& format = *view->format;
        const UINT channels = std::min(format.bytesPerTexel / bytesPerChannel(format), 4u);
        for (UINT i = 0; i < channels; ++i) {
            storeLowBits(texel, i, bytesPerChannel(format), values[i]);
        }
        glClearTexImage(view->texture, view->level, format.transferFormat, format.transferType,
                        texel);
    }
    glMemoryBarrier(GL_ALL_BARRIER_BITS);
}

void DeviceContext::ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView* target,
                                                  const FLOAT values[4]) {
    const GlView* view = glView(target);
    if (view == nullptr || values == nullptr) {
        return;
    }
    // Only views with a float, UNORM or SNORM format convert floats; structured buffers and
    // integer textures have no such format.
    if (view->resource->isBuffer() || view->format->kind != FormatKind::Float) {
        dropCall("ClearUnorderedAccessViewFloat",
                 "the view has no float or normalized format (structured buffer or integer)");
        return;
    }
    device_.makeCurrent();
    glClearTexImage(view->texture, view->level, GL_RGBA, GL_FLOAT, values);
    glMemoryBarrier(GL_ALL_BARRIER_BITS);
}

void DeviceContext::GenerateMips(ID3D11ShaderResourceView* target) {
    const GlView* view = glView(target);
    if (view == nullptr || view->resource->isBuffer() ||
        !(view->resource->miscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS)) {
        return;
    }
    device_.makeCurrent();
    // The view's own texture covers exactly the view's mip range.
    glGenerateTextureMipmap(view->texture);
}

void DeviceContext::UpdateSubresource(ID3D11Resource* target, UINT subresource,
                                      const D3D11_BOX* requested, const void* data, UINT rowPitch,
                                      UINT depthPitch) {
    GlResource* resource = glResource(target);
    D3D11_BOX box;
    if (resource == nullptr || data == nullptr || resource->usage != D3D11_USAGE_DEFAULT ||
        !validSubresource(*resource, subresource) ||
        !resolveBox(*resource, subresource, requested, box)) {
        return;
    }
    device_.makeCurrent();
    if (resource->isBuffer()) {
        glNamedBufferSubData(resource->name, box.left, box.right - box.left, data);
    } else {
        uploadTextureRegion(*resource, subresource, box, data, rowPitch, depthPitch);
    }
}

void DeviceContext::CopySubresourceRegion(ID3D11Resource* destinationResource,
                                          UINT destinationSubresource, UINT x, UINT y, UINT z,
                                          ID3D11Resource* sourceResource, UINT sourceSubresource,
                                          const D3D11_BOX* requested) {
    GlResource* destination = glResource(destinationResource);
    GlResource* source = glResource(sourceResource);
    D3D11_BOX box;
    if (destination == nullptr || source == nullptr || destination == source ||
        destination->dimension != source->dimension ||
        destination->usage == D3D11_USAGE_IMMUTABLE ||
        !validSubresource(*destination, destinationSubresource) ||
        !validSubresource(*source, sourceSubresource) ||
        !resolveBox(*source, sourceSubresource, requested, box)) {
        return;
    }
    device_.makeCurrent();
    if (destination->isBuffer()) {
        UINT size = box.right - box.left;
        if (x <= destination->byteWidth && size <= destination->byteWidth - x) {
            copyBufferRange(*destination, x, *source, box.left, size);
        }
        return;
    }
    D3D11_BOX placed = {
        x, y, z, x + box.right - box.left, y + box.bottom - box.top, z + box.back - box.front};
    D3D11_BOX fits;
    if (destination->format->bytesPerTexel == source->format->bytesPerTexel &&
        resolveBox(*destination, destinationSubresource, &placed, fits)) {
        copyTextureRegion(*destination, destinationSubresource, x, y, z, *source, sourceSubresource,
                          box);
    }
}

void DeviceContext::CopyResource(ID3D11Resource* destinationResource,
                                 ID3D11Resource* sourceResource) {
    GlResource* destination = glResource(destinationResource);
    GlResource* source = glResource(sourceResource);
    if (destination == nullptr || source == nullptr || !sameShape(*destination, *source)) {
        return;
    }
    if (!destination->isBuffer() && destination->format != source->format) {
        dropCall("CopyResource", "source and destination formats differ");
        return;
    }
    UINT subresources = destination->isBuffer() ? 1 : destination->levels;
    for (UINT i = 0; i < subresources; ++i) {
        CopySubresourceRegion(destinationResource, i, 0, 0, 0, sourceResource, i, nullptr);
    }
}

HRESULT DeviceContext::Map(ID3D11Resource* target, UINT subresource, D3D11_MAP type, UINT,
                           D3D11_MAPPED_SUBRESOURCE* mapped) {
    GlResource* resource = glResource(target);
    if (resource == nullptr || !validSubresource(*resource, subresource) || resource->mapped) {
        return refuse("Map", "not a resource of this device, no such subresource, or already "
                             "mapped");
    }
    bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    bool writes = type != D3D11_MAP_READ;
    bool allowed = false;
    if (resource->isStaging()) {
        allowed = (type >= D3D11_MAP_READ && type <= D3D11_MAP_READ_WRITE) &&
                  (!reads || (resource->cpuAccessFlags & D3D11_CPU_ACCESS_READ)) &&
                  (!writes || (resource->cpuAccessFlags & D3D11_CPU_ACCESS_WRITE));
    } else if (resource->usage == D3D11_USAGE_DYNAMIC) {
        allowed = type == D3D11_MAP_WRITE_DISCARD ||
                  (type == D3D11_MAP_WRITE_NO_OVERWRITE && resource->isBuffer());
        if (allowed && resource->shadow.size() != resource->totalSize()) {
            resource->shadow.assign(resource->totalSize(), 0);
        }
    }
    if (!allowed) {
        return refuse("Map", "the map type does not fit the resource's usage and CPU access");
    }
    resource->mapped = true;
    if (mapped != nullptr) {
        if (resource->isBuffer()) {
            *mapped = {resource->shadow.data(), resource->byteWidth, resource->byteWidth};
        } else {
            *mapped = {resource->shadow.data() + resource->levelOffset(subresource),
                       resource->rowPitch(subresource), resource->depthPitch(subresource)};
        }
    }
    return S_OK;
}

void DeviceContext::Unmap(ID3D11Resource* target, UINT subresource) {
    GlResource* resource = glResource(target);
    if (resource == nullptr || !resource->mapped) {
        return;
    }
    resource->mapped = false;
    if (resource->usage != D3D11_USAGE_DYNAMIC) {
        return;
    }
    device_.makeCurrent();
    if (resource->isBuffer()) {
        glNamedBufferSubData(resource->name, 0, resource->byteWidth, resource->shadow.data());
    } else {
        D3D11_BOX box;
        resolveBox(*resource, subresource, nullptr, box);
        uploadTextureRegion(*resource, subresource, box,
                            resource->shadow.data() + resource->levelOffset(subresource), 0, 0);
    }
}

} // namespace quavel::d3d11
