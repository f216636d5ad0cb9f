// Shader-resource, unordered-access, render-target and depth-stencil views: what part of a
// resource a pipeline slot sees, resolved to the OpenGL names and ranges the context binds.
#pragma once

#include <epoxy/gl.h>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/resources.h"

namespace quavel::d3d11 {

struct GlView {
    virtual ~GlView() = default;

    GlResource* resource = nullptr;
    // Textures: the texture (or texture view) name, its target and the mip level a render,
    // depth or image binding uses; `layered` binds every slice of a 3D image.
    GLuint texture = 0;
    GLenum target = 0;
    UINT level = 0;
    bool layered = false;
    const FormatInfo* format = nullptr;
    // Buffers: the byte range the view covers.
    GLintptr offset = 0;
    GLsizeiptr size = 0;
};

// Null for a view that is not one of ours (or a null view).
GlView* glView(ID3D11View* view);

HRESULT createShaderResourceView(Device& device, ID3D11Resource* resource,
                                 const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                 ID3D11ShaderResourceView** view);
HRESULT createUnorderedAccessView(Device& device, ID3D11Resource* resource,
                                  const D3D11_UNORDERED_ACCESS_VIEW_DESC* desc,
                                  ID3D11UnorderedAccessView** view);
HRESULT createRenderTargetView(Device& device, ID3D11Resource* resource,
                               const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                               ID3D11RenderTargetView** view);
HRESULT createDepthStencilView(Device& device, ID3D11Resource* resource,
                               const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                               ID3D11DepthStencilView** view);

} // namespace quavel::d3d11
