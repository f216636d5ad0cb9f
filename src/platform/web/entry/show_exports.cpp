// The show's module for the browser: start-up, one frame, a seek and a still, called by
// web/show.js. The page's animation-frame callback is the frame loop: it reads the clock
// (the audio position), ends the show at its length, calls quavel_show_frame and presents
// the back buffer, which is a texture of this module's device (the page copies it into the
// canvas). Everything the frame draws goes through the same Playhead and show frames as on
// the other platforms (app/playhead.h, app/show.h).
#include <cstdio>
#include <string>

#include "platform/web/entry/web_show.h"

#include "Fennick/texture_layout.h"
#include "app/frame_grid.h"
#include "platform/web/d3d11/objects.h"

#define QUAVEL_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

WebShow* show = nullptr;

bool makeDevice(DemoApp& app, float renderScale, ID3D11Texture2D*& backBuffer, std::string& error) {
    const D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, &level, 1,
                                 D3D11_SDK_VERSION, &app.device, nullptr, &app.immediateContext))) {
        error = "no Direct3D device on WebGPU";
        return false;
    }
    // The back buffer as the other platforms' swap chains make it (1600 x 900 at full size,
    // RGBA8).
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = Fennick::gfx::scaledExtent(kShowWidth, renderScale);
    desc.Height = Fennick::gfx::scaledExtent(kShowHeight, renderScale);
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    if (FAILED(app.device->CreateTexture2D(&desc, nullptr, &backBuffer)) ||
        FAILED(app.device->CreateRenderTargetView(backBuffer, nullptr, &app.backBufferView))) {
        error = "the back buffer cannot be made";
        return false;
    }
    return true;
}

} // namespace

WebShow* webShow() {
    return show;
}

// Device, back buffer and graph, every picture at `renderScale` of its size (1: the show;
// below, the quick looks of show.h). 0 when the show can run; otherwise the reason is on
// stderr.
QUAVEL_EXPORT(quavel_show_start) int showStart(float renderScale) {
    if (show != nullptr) {
        return 0;
    }
    auto* made = new WebShow();
    std::string error;
    if (!makeDevice(made->app, renderScale, made->backBuffer, error) ||
        !buildShowGraph(made->app, error, renderScale)) {
        std::fprintf(stderr, "the show cannot start: %s\n", error.c_str());
        return 1;
    }
    show = made;
    return 0;
}

// The back buffer's texture, by the handle the page's GPU layer knows it by.
QUAVEL_EXPORT(quavel_show_back_buffer) unsigned showBackBuffer() {
    return show != nullptr ? quavel::d3d11::webResource(show->backBuffer)->handle : 0;
}

// The frame at `time` (the clock's seconds): a new frame, as the show's frame loop draws it.
QUAVEL_EXPORT(quavel_show_frame) void showFrame(float time) {
    show->playhead.advanceTo(time);
}

// The first grid frame at or after `seconds`.
QUAVEL_EXPORT(quavel_show_grid_frame) double showGridFrame(double seconds) {
    return static_cast<double>(firstGridFrameAtOrAfter(seconds, kWebGridFps));
}

// Starts the show before grid frame `n`: the history up to it is replayed (without drawing),
// as the capture tool starts a range; the next frame follows it. The page may move there in
// steps (n rising), each replaying only from where the last one left the show.
QUAVEL_EXPORT(quavel_show_seek) void showSeek(double n) {
    show->playhead.seekToGridFrame(static_cast<std::int64_t>(n));
}

// Draws exactly the grid frame at or after `seconds`, as --check and the capture tool draw
// it: the history replayed, then the frame at its grid time. Returns the grid frame.
QUAVEL_EXPORT(quavel_show_still) double showStill(double seconds) {
    const std::int64_t n = firstGridFrameAtOrAfter(seconds, kWebGridFps);
    show->playhead.seekToGridFrame(n);
    show->playhead.advanceTo(gridTime(n, kWebGridFps));
    return static_cast<double>(n);
}
