// How a pass names the resources it reads, writes and draws into.
#pragma once

#include <cstdint>

namespace Fennick::gfx {

class Resource;
class TextureRuntime;

enum ResourceKind : uint32_t {
    Texture = 0, // a TextureRuntime or ImageRuntime
    Buffer = 1,  // a BufferRuntime or BufferDataRuntime
};

// One input or output slot; a null resource leaves the slot unbound.
struct ResourceBinding {
    ResourceKind kind = Texture;
    Resource* resource = nullptr;
};

struct RenderTargetBinding {
    TextureRuntime* texture = nullptr;
    uint8_t flag = 1;
};

} // namespace Fennick::gfx
