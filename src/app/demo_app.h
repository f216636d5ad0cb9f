// The application record: window and device, the engine, the tracks, the audio output and the
// handles of the demo graph. Owned by the entry function; every pointer starts null.
#pragma once

#include <string>

#include "Fennick/frame_context.h"
#include "demo/demo_handles.h"
#include "music/audio_output.h"
#include "params/sync_timeline.h"
#include "platform/d3d11.h"
#include "platform/win32.h"

namespace Fennick::gfx {
class GraphRuntime;
}

// What the last frame was drawn from, so that it can be drawn again (a held clock).
struct FrameInputs {
    float time = 0.0f;
    std::uint32_t frame = 0;
    float elapsedTime = 0.0f;
    ContextData contextBefore = {}; // the frame context as the frame found it
};

struct DemoApp {
    bool quitRequested = false;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* immediateContext = nullptr;
    IDXGISwapChain* swapChain = nullptr;
    ID3D11RenderTargetView* backBufferView = nullptr;
    HWND window = nullptr;
    WNDCLASSEXW windowClass = {};
    std::string softwareNote; // set when the device is the software rasteriser, to say so once

    Fennick::gfx::GraphRuntime* engine = nullptr; // made by buildDemo, never freed
    SyncTimeline timeline;                        // bpm 120, 8 rows a beat until the demo sets them
    AudioOutput audio;
    DemoHandles handles;
    FrameInputs lastFrame;
};

// The show's fixed configuration.
constexpr int kShowWidth = 1600;
constexpr int kShowHeight = 900;
constexpr float kShowLengthSeconds = 368.0f;
// The renderScale of the show itself (every picture at its own size); below it, quick looks.
constexpr float kFullSize = 1.0f;
