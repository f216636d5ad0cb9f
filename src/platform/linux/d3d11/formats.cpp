#include "platform/linux/d3d11/formats.h"

#include <iterator>

namespace quavel::d3d11 {
namespace {

// B8G8R8A8 is stored as RGBA8 and only transferred in BGRA order, so shaders see red in .r
// as with Direct3D.
const FormatInfo formats[] = {
    {DXGI_FORMAT_R32G32B32A32_FLOAT, GL_RGBA32F, GL_RGBA, GL_FLOAT, 16, FormatKind::Float,
     "rgba32f"},
    {DXGI_FORMAT_R32G32B32A32_UINT, GL_RGBA32UI, GL_RGBA_INTEGER, GL_UNSIGNED_INT, 16,
     FormatKind::Uint, "rgba32ui"},
    {DXGI_FORMAT_R32G32B32A32_SINT, GL_RGBA32I, GL_RGBA_INTEGER, GL_INT, 16, FormatKind::Sint,
     "rgba32i"},
    {DXGI_FORMAT_R16G16B16A16_FLOAT, GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8, FormatKind::Float,
     "rgba16f"},
    {DXGI_FORMAT_R32G32_FLOAT, GL_RG32F, GL_RG, GL_FLOAT, 8, FormatKind::Float, "rg32f"},
    {DXGI_FORMAT_R8G8B8A8_UNORM, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4, FormatKind::Float,
     "rgba8"},
    {DXGI_FORMAT_B8G8R8A8_UNORM, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4, FormatKind::Float,
     "rgba8"},
    {DXGI_FORMAT_R16G16_FLOAT, GL_RG16F, GL_RG, GL_HALF_FLOAT, 4, FormatKind::Float, "rg16f"},
    {DXGI_FORMAT_R32_FLOAT, GL_R32F, GL_RED, GL_FLOAT, 4, FormatKind::Float, "r32f"},
    {DXGI_FORMAT_R32_UINT, GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, 4, FormatKind::Uint, "r32ui"},
    {DXGI_FORMAT_R32_SINT, GL_R32I, GL_RED_INTEGER, GL_INT, 4, FormatKind::Sint, "r32i"},
    {DXGI_FORMAT_R16_FLOAT, GL_R16F, GL_RED, GL_HALF_FLOAT, 2, FormatKind::Float, "r16f"},
    {DXGI_FORMAT_R8_UNORM, GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, FormatKind::Float, "r8"},
    {DXGI_FORMAT_D32_FLOAT, GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT, 4,
     FormatKind::Depth, nullptr},
    {DXGI_FORMAT_D24_UNORM_S8_UINT, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4,
     FormatKind::DepthStencil, nullptr},
};

} // namespace

const FormatInfo* findFormat(DXGI_FORMAT format) {
    for (const FormatInfo& info : formats) {
        if (info.format == format) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace quavel::d3d11
