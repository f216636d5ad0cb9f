#include "platform/linux/d3d11/dxgi_adapter.h"

#include <epoxy/gl.h>

#include <cstring>
#include <new>
#include <string>

#include "platform/linux/d3d11/com_object.h"
#include "platform/linux/d3d11/device.h"

namespace quavel::d3d11 {

namespace {

class DxgiAdapter final : public ComObject<IDXGIAdapter> {
public:
    explicit DxgiAdapter(const std::string& renderer) : renderer_(renderer) {}

    HRESULT GetDesc(DXGI_ADAPTER_DESC* desc) override {
        if (desc == nullptr)
            return E_INVALIDARG;
        std::memset(desc, 0, sizeof *desc);
        // The renderer string is ASCII; it is cut to the 127 characters the field holds.
        const std::size_t length = renderer_.size() < 127 ? renderer_.size() : 127;
        for (std::size_t i = 0; i < length; ++i)
            desc->Description[i] = static_cast<WCHAR>(static_cast<unsigned char>(renderer_[i]));
        return S_OK;
    }

private:
    std::string renderer_;
};

class DxgiDevice final : public ComObject<IDXGIDevice> {
public:
    explicit DxgiDevice(Device& device) : device_(device) { asInterface(&device_)->AddRef(); }
    ~DxgiDevice() override { asInterface(&device_)->Release(); }

    HRESULT GetAdapter(IDXGIAdapter** adapter) override {
        if (adapter == nullptr)
            return E_INVALIDARG;
        device_.makeCurrent();
        const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        *adapter = new (std::nothrow) DxgiAdapter(renderer ? renderer : "OpenGL");
        return *adapter ? S_OK : E_OUTOFMEMORY;
    }

private:
    Device& device_;
};

} // namespace

IDXGIDevice* dxgiDeviceOf(Device& device) {
    return new (std::nothrow) DxgiDevice(device);
}

} // namespace quavel::d3d11
