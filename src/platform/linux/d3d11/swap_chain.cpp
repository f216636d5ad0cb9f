#include "platform/linux/d3d11/swap_chain.h"

#include <SDL.h>

#include <chrono>
#include <new>
#include <optional>

#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/dxgi_factory.h"
#include "platform/linux/d3d11/present_pacer.h"
#include "platform/linux/d3d11/resources.h"

namespace quavel::d3d11 {
namespace {

// The refresh rate of the display the window is on; 0 when SDL cannot tell.
int refreshRateOf(SDL_Window* window) {
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0) {
        return mode.refresh_rate;
    }
    return 0;
}

class SwapChain final : public ComObject<IDXGISwapChain> {
public:
    SwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC& desc, ID3D11Texture2D* backBuffer)
        : device_(device), desc_(desc), backBuffer_(backBuffer),
          pacer_(refreshRateOf(device.gl().window())) {
        device_.AddRef();
        device_.makeCurrent();
        glCreateFramebuffers(1, &readFramebuffer_);
        glNamedFramebufferTexture(readFramebuffer_, GL_COLOR_ATTACHMENT0,
                                  glResource(backBuffer)->name, 0);
        glNamedFramebufferReadBuffer(readFramebuffer_, GL_COLOR_ATTACHMENT0);
    }
    ~SwapChain() override {
        device_.makeCurrent();
        glDeleteFramebuffers(1, &readFramebuffer_);
        backBuffer_->Release();
        factory_->Release();
        device_.Release();
    }

    HRESULT Present(UINT syncInterval, UINT flags) override {
        const bool test = (flags & DXGI_PRESENT_TEST) != 0;
        if (!test)
            ++presents_;
        const DebugSwitches& switches = debugSwitches();
        if (switches.removeAtPresent != 0 && presents_ >= switches.removeAtPresent)
            device_.remove(DXGI_ERROR_DEVICE_HUNG);
        if (FAILED(device_.GetDeviceRemovedReason()))
            return DXGI_ERROR_DEVICE_REMOVED;
        if (occluded())
            return DXGI_STATUS_OCCLUDED;
        if (test) {
            return S_OK;
        }
        GlContext& gl = device_.gl();
        gl.makeCurrent();
        gl.setSwapInterval(syncInterval > 0 ? 1 : 0);
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(gl.window(), &width, &height);
        // Row 0 of the back buffer is the top of the picture; OpenGL's window origin is at
        // the bottom, so the copy turns the picture over.
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glBlitNamedFramebuffer(readFramebuffer_, 0, 0, 0,
                               static_cast<GLint>(desc_.BufferDesc.Width),
                               static_cast<GLint>(desc_.BufferDesc.Height), 0, height, width, 0,
                               GL_COLOR_BUFFER_BIT, GL_NEAREST);
        SDL_GL_SwapWindow(gl.window());
        // With the discard swap effect nothing defined is left in the back buffer after a
        // present: the debug pattern shows a frame that relies on the one before.
        if (debugSwitches().fillNew) {
            const unsigned char pattern[4] = {0x5A, 0x5A, 0x5A, 0x5A};
            glClearTexImage(glResource(backBuffer_)->name, 0, GL_RGBA, GL_UNSIGNED_BYTE, pattern);
        }
        pacer_.waitForVerticalBlanks(syncInterval);
        return S_OK;
    }

    // The factory the swap chain was made with, which keeps the window association.
    HRESULT GetParent(REFIID id, void** parent) override {
        return factory_->QueryInterface(id, parent);
    }

    HRESULT GetBuffer(UINT index, REFIID id, void** surface) override {
        if (surface == nullptr) {
            return E_POINTER;
        }
        // Only buffer 0 can be reached with the discard swap effect.
        if (index != 0) {
            *surface = nullptr;
            return DXGI_ERROR_INVALID_CALL;
        }
        return backBuffer_->QueryInterface(id, surface);
    }

    HRESULT GetDesc(DXGI_SWAP_CHAIN_DESC* desc) override {
        if (desc == nullptr) {
            return E_INVALIDARG;
        }
        *desc = desc_;
        return S_OK;
    }

private:
    // The debug switch's occlusion: it starts at the given Present and lasts its time.
    bool occluded() {
        const DebugSwitches& switches = debugSwitches();
        if (switches.occludeAtPresent == 0 || presents_ < switches.occludeAtPresent)
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (!occludedSince_)
            occludedSince_ = now;
        return now - *occludedSince_ < std::chrono::milliseconds(switches.occludedMs);
    }

    Device& device_;
    IDXGIFactory6* factory_ = makeDxgiFactory();
    unsigned presents_ = 0;
    std::optional<std::chrono::steady_clock::time_point> occludedSince_;
    DXGI_SWAP_CHAIN_DESC desc_;
    ID3D11Texture2D* backBuffer_;
    GLuint readFramebuffer_ = 0;
    PresentPacer pacer_;
};

} // namespace

HRESULT createSwapChain(Device& device, const DXGI_SWAP_CHAIN_DESC& requested,
                        IDXGISwapChain** out) {
    DXGI_SWAP_CHAIN_DESC desc = requested;
    if (desc.BufferDesc.Width == 0 || desc.BufferDesc.Height == 0) {
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(device.gl().window(), &width, &height);
        desc.BufferDesc.Width = desc.BufferDesc.Width ? desc.BufferDesc.Width : UINT(width);
        desc.BufferDesc.Height = desc.BufferDesc.Height ? desc.BufferDesc.Height : UINT(height);
    }
    D3D11_TEXTURE2D_DESC textureDesc = {};
    textureDesc.Width = desc.BufferDesc.Width;
    textureDesc.Height = desc.BufferDesc.Height;
    textureDesc.MipLevels = 1;
    textureDesc.ArraySize = 1;
    textureDesc.Format = desc.BufferDesc.Format;
    textureDesc.SampleDesc.Count = 1;
    textureDesc.Usage = D3D11_USAGE_DEFAULT;
    textureDesc.BindFlags = D3D11_BIND_RENDER_TARGET;
    if (desc.BufferUsage & DXGI_USAGE_SHADER_INPUT) {
        textureDesc.BindFlags |= D3D11_BIND_SHADER_RESOURCE;
    }
    ID3D11Texture2D* backBuffer = nullptr;
    HRESULT result = device.CreateTexture2D(&textureDesc, nullptr, &backBuffer);
    if (FAILED(result)) {
        return result;
    }
    *out = new (std::nothrow) SwapChain(device, desc, backBuffer);
    if (*out == nullptr) {
        backBuffer->Release();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace quavel::d3d11
