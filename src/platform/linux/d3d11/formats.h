// How each DXGI format the layer supports is stored and transferred in OpenGL.
#pragma once

#include <epoxy/gl.h>

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

inline bool isDepthFormat(const FormatInfo& info) {
    return info.kind == FormatKind::Depth || info.kind == FormatKind::DepthStencil;
}

} // namespace quavel::d3d11
