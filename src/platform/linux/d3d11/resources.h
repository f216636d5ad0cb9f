// Buffers and textures: the Direct3D objects and the OpenGL storage behind them.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/formats.h"

namespace quavel::d3d11 {

// What the layer knows about any resource, whatever its interface.
struct GlResource {
    virtual ~GlResource() = default;

    D3D11_RESOURCE_DIMENSION dimension = D3D11_RESOURCE_DIMENSION_UNKNOWN;
    D3D11_USAGE usage = D3D11_USAGE_DEFAULT;
    UINT bindFlags = 0;
    UINT cpuAccessFlags = 0;
    UINT miscFlags = 0;

    // GPU storage: a buffer or texture name. Staging resources have none: they live in
    // `shadow`, which dynamic resources also use between Map and Unmap.
    GLuint name = 0;
    GLenum target = 0; // GL_TEXTURE_1D / 2D / 3D; 0 for buffers
    std::vector<uint8_t> shadow;
    bool mapped = false;

    // Buffers.
    UINT byteWidth = 0;
    UINT structureStride = 0;

    // Textures.
    const FormatInfo* format = nullptr;
    UINT width = 1;
    UINT height = 1;
    UINT depth = 1;
    UINT levels = 1;

    bool isBuffer() const { return dimension == D3D11_RESOURCE_DIMENSION_BUFFER; }
    bool isStaging() const { return usage == D3D11_USAGE_STAGING; }

    UINT levelWidth(UINT level) const { return shrink(width, level); }
    UINT levelHeight(UINT level) const { return shrink(height, level); }
    UINT levelDepth(UINT level) const { return shrink(depth, level); }
    // Tightly packed rows and slices, as staging memory is laid out.
    UINT rowPitch(UINT level) const { return levelWidth(level) * format->bytesPerTexel; }
    UINT depthPitch(UINT level) const { return rowPitch(level) * levelHeight(level); }
    size_t levelSize(UINT level) const { return size_t(depthPitch(level)) * levelDepth(level); }
    size_t levelOffset(UINT level) const;
    size_t totalSize() const;

private:
    static UINT shrink(UINT size, UINT level) {
        UINT shrunk = size >> level;
        return shrunk == 0 ? 1 : shrunk;
    }
};

// Null for a resource that is not one of ours.
GlResource* glResource(ID3D11Resource* resource);

HRESULT createBuffer(Device& device, const D3D11_BUFFER_DESC* desc,
                     const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Buffer** buffer);
HRESULT createTexture1D(Device& device, const D3D11_TEXTURE1D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture1D** texture);
HRESULT createTexture2D(Device& device, const D3D11_TEXTURE2D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture2D** texture);
HRESULT createTexture3D(Device& device, const D3D11_TEXTURE3D_DESC* desc,
                        const D3D11_SUBRESOURCE_DATA* initialData, ID3D11Texture3D** texture);

// Writes one mip level (or a box of it) of a GPU texture from client memory laid out with
// the given row and slice pitches (0: tightly packed).
void uploadTextureRegion(const GlResource& texture, UINT level, const D3D11_BOX& box,
                         const void* data, UINT rowPitch, UINT depthPitch);

} // namespace quavel::d3d11
