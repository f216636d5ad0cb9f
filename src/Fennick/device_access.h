// How the engine's objects reach the device: through the process-wide frame context (one
// device, one immediate context), and how they let go of what they made there.
#pragma once

#include "Fennick/frame_context.h"
#include "platform/d3d11.h"

namespace Fennick::gfx {

inline ID3D11Device* device() {
    return frameContext().device;
}

inline ID3D11DeviceContext* immediateContext() {
    return frameContext().context;
}

template <typename T> void releaseAndClear(T*& object) {
    if (object)
        object->Release();
    object = nullptr;
}

} // namespace Fennick::gfx
