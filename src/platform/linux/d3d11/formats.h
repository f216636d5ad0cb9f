// How each DXGI format the layer supports is stored and transferred in OpenGL.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>

#include "platform/linux/d3d11/d3d11_api.h"

namespace quavel::d3d11 {

enum class FormatKind { Float, Uint, Sint, Depth, DepthStencil };

struct FormatInfo {
    DXGI_FORMAT format;
    GLenum internalFormat;
    GLenum transferFormat; // pixel layout in client memory, as Direct3D lays it out
    GLenum transferType;
    UINT bytesPerTexel;
    FormatKind kind;
    const char* imageQualifier; // GLSL format of a storage image view, null if none
};

// Null for a format the layer does not support.
const FormatInfo* findFormat(DXGI_FORMAT format);

// D24_UNORM_S8_UINT keeps depth in the low 24 bits and stencil in the top byte; OpenGL's
// UNSIGNED_INT_24_8 transfer has them the other way round.
inline uint32_t depthStencilToGl(uint32_t texel) {
    return (texel << 8) | (texel >> 24);
}
inline uint32_t depthStencilFromGl(uint32_t texel) {
    return (texel >> 8) | (texel << 24);
}

inline bool isDepthFormat(const FormatInfo& info) {
    return info.kind == FormatKind::Depth || info.kind == FormatKind::DepthStencil;
}

} // namespace quavel::d3d11
