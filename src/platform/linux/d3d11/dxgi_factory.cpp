#include "platform/linux/d3d11/dxgi_factory.h"

#include <epoxy/gl.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/linux/d3d11/debug_switches.h"
#include "platform/linux/d3d11/dxgi_adapter.h"
#include "platform/linux/d3d11/gl_context.h"

namespace quavel::d3d11 {
namespace {

std::mutex associationsLock;
std::map<HWND, UINT> associations;

std::string glText(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}

class FactoryAdapter final : public ComObject<IDXGIAdapter1> {
public:
    HRESULT GetDesc(DXGI_ADAPTER_DESC* desc) override {
        if (desc == nullptr)
            return E_INVALIDARG;
        DXGI_ADAPTER_DESC1 full;
        const HRESULT result = GetDesc1(&full);
        std::memcpy(desc, &full, sizeof *desc); // DESC1 is DESC with Flags at the end
        return result;
    }
    HRESULT GetDesc1(DXGI_ADAPTER_DESC1* desc) override {
        if (desc == nullptr)
            return E_INVALIDARG;
        describe();
        *desc = desc_;
        return S_OK;
    }
    HRESULT CheckInterfaceSupport(REFGUID name, LARGE_INTEGER* version) override {
        if (!(name == __uuidof(IDXGIDevice)) && !(name == __uuidof(ID3D11Device)))
            return DXGI_ERROR_UNSUPPORTED;
        describe();
        if (version != nullptr)
            version->QuadPart = driverVersion_;
        return S_OK;
    }

private:
    void describe() {
        std::call_once(described_, [this] {
            std::memset(&desc_, 0, sizeof desc_);
            std::unique_ptr<GlContext> gl = GlContext::createHidden();
            if (!gl)
                return;
            gl->makeCurrent();
            const std::string renderer = glText(GL_RENDERER);
            for (size_t i = 0; i < renderer.size() && i + 1 < 128; ++i)
                desc_.Description[i] = WCHAR(static_cast<unsigned char>(renderer[i]));
            desc_.VendorId = pciVendorFromGlVendor(glText(GL_VENDOR));
            driverVersion_ = driverVersionFromGlVersion(glText(GL_VERSION));
        });
    }

    std::once_flag described_;
    DXGI_ADAPTER_DESC1 desc_{};
    LONGLONG driverVersion_ = 0;
};

class Factory final : public ComObject<IDXGIFactory6> {
public:
    ~Factory() override { adapter_->Release(); }

    HRESULT QueryInterface(REFIID id, void** object) override {
        if (object != nullptr && id == __uuidof(IDXGIFactory6)) {
            if (debugSwitches().noFactory6) {
                *object = nullptr;
                return E_NOINTERFACE;
            }
            AddRef();
            *object = static_cast<IDXGIFactory6*>(this);
            return S_OK;
        }
        return ComObject<IDXGIFactory6>::QueryInterface(id, object);
    }

    HRESULT EnumAdapters(UINT index, IDXGIAdapter** adapter) override {
        IDXGIAdapter1* found = nullptr;
        const HRESULT result = EnumAdapters1(index, &found);
        if (adapter != nullptr)
            *adapter = found;
        return result;
    }
    HRESULT EnumAdapters1(UINT index, IDXGIAdapter1** adapter) override {
        if (adapter == nullptr)
            return DXGI_ERROR_INVALID_CALL;
        *adapter = nullptr;
        if (index > 0)
            return DXGI_ERROR_NOT_FOUND;
        adapter_->AddRef();
        *adapter = adapter_;
        return S_OK;
    }
    // One adapter: the order is the same whatever the preference.
    HRESULT EnumAdapterByGpuPreference(UINT index, DXGI_GPU_PREFERENCE preference, REFIID id,
                                       void** adapter) override {
        if (adapter == nullptr || preference > DXGI_GPU_PREFERENCE_HIGH_PERFORMANCE)
            return DXGI_ERROR_INVALID_CALL;
        *adapter = nullptr;
        if (index > 0)
            return DXGI_ERROR_NOT_FOUND;
        return adapter_->QueryInterface(id, adapter);
    }

    HRESULT MakeWindowAssociation(HWND window, UINT flags) override {
        if (flags &
            ~UINT(DXGI_MWA_NO_WINDOW_CHANGES | DXGI_MWA_NO_ALT_ENTER | DXGI_MWA_NO_PRINT_SCREEN))
            return DXGI_ERROR_INVALID_CALL;
        std::lock_guard<std::mutex> hold(associationsLock);
        associations[window] = flags;
        window_ = window;
        return S_OK;
    }
    HRESULT GetWindowAssociation(HWND* window) override {
        if (window == nullptr)
            return DXGI_ERROR_INVALID_CALL;
        *window = window_;
        return S_OK;
    }

private:
    // Every factory lists the same one adapter.
    IDXGIAdapter1* adapter_ = sharedAdapter();
    HWND window_ = nullptr;

    static IDXGIAdapter1* sharedAdapter() {
        static FactoryAdapter* adapter = new FactoryAdapter; // lives until the process ends
        adapter->AddRef();
        return adapter;
    }
};

} // namespace

IDXGIFactory6* makeDxgiFactory() {
    return new Factory;
}

bool isFactoryAdapter(IDXGIAdapter* adapter) {
    return dynamic_cast<FactoryAdapter*>(adapter) != nullptr;
}

UINT windowAssociation(HWND window) {
    std::lock_guard<std::mutex> hold(associationsLock);
    const auto found = associations.find(window);
    return found != associations.end() ? found->second : 0;
}

} // namespace quavel::d3d11

HRESULT WINAPI CreateDXGIFactory1(REFIID riid, void** ppFactory) {
    if (ppFactory == nullptr)
        return E_INVALIDARG;
    IDXGIFactory6* factory = quavel::d3d11::makeDxgiFactory();
    const HRESULT result = factory->QueryInterface(riid, ppFactory);
    factory->Release();
    return result;
}
