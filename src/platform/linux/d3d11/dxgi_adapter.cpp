#include "platform/linux/d3d11/dxgi_adapter.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <epoxy/gl.h>
#include <iterator>

#include "platform/linux/d3d11/device.h"

namespace quavel::d3d11 {
namespace {

std::string glText(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}

// The adapter holds its device; what it says is read once, when it is made.
class DxgiAdapter final : public ComObject<IDXGIAdapter> {
public:
    explicit DxgiAdapter(Device& device) : device_(device) {
        asInterface(&device_)->AddRef();
        device_.makeCurrent();
        std::memset(&desc_, 0, sizeof desc_);
        const std::string renderer = glText(GL_RENDERER);
        for (size_t i = 0; i < renderer.size() && i + 1 < std::size(desc_.Description); ++i)
            desc_.Description[i] = WCHAR(static_cast<unsigned char>(renderer[i]));
        desc_.VendorId = pciVendorFromGlVendor(glText(GL_VENDOR));
        driverVersion_ = driverVersionFromGlVersion(glText(GL_VERSION));
    }
    ~DxgiAdapter() override { asInterface(&device_)->Release(); }

    HRESULT GetDesc(DXGI_ADAPTER_DESC* desc) override {
        if (desc == nullptr)
            return E_INVALIDARG;
        *desc = desc_;
        return S_OK;
    }

    HRESULT CheckInterfaceSupport(REFGUID name, LARGE_INTEGER* version) override {
        if (!(name == __uuidof(IDXGIDevice)) && !(name == __uuidof(ID3D11Device)))
            return DXGI_ERROR_UNSUPPORTED;
        if (version != nullptr)
            version->QuadPart = driverVersion_;
        return S_OK;
    }

private:
    Device& device_;
    DXGI_ADAPTER_DESC desc_;
    LONGLONG driverVersion_ = 0;
};

class DxgiDevice final : public ComObject<IDXGIDevice> {
public:
    explicit DxgiDevice(Device& device) : device_(device) { asInterface(&device_)->AddRef(); }
    ~DxgiDevice() override { asInterface(&device_)->Release(); }

    HRESULT GetAdapter(IDXGIAdapter** adapter) override {
        if (adapter == nullptr)
            return E_INVALIDARG;
        *adapter = new DxgiAdapter(device_);
        return S_OK;
    }

private:
    Device& device_;
};

} // namespace

IDXGIDevice* makeDxgiDevice(Device& device) {
    return new DxgiDevice(device);
}

LONGLONG driverVersionFromGlVersion(const std::string& glVersion) {
    // The OpenGL version comes first; the driver's own version is the last dotted number.
    const size_t afterGl = glVersion.find(' ');
    if (afterGl == std::string::npos)
        return 0;
    size_t start = std::string::npos;
    for (size_t i = afterGl; i < glVersion.size(); ++i)
        if (std::isdigit(static_cast<unsigned char>(glVersion[i])) &&
            (i == 0 || glVersion[i - 1] == ' '))
            start = i;
    if (start == std::string::npos)
        return 0;
    std::uint64_t packed = 0;
    int parts = 0;
    size_t i = start;
    while (parts < 4 && i < glVersion.size() &&
           std::isdigit(static_cast<unsigned char>(glVersion[i]))) {
        std::uint64_t number = 0;
        while (i < glVersion.size() && std::isdigit(static_cast<unsigned char>(glVersion[i])))
            number = number * 10 + std::uint64_t(glVersion[i++] - '0');
        packed = (packed << 16) | (number & 0xffff);
        ++parts;
        if (i < glVersion.size() && glVersion[i] == '.')
            ++i;
        else
            break;
    }
    return LONGLONG(packed << (16 * (4 - parts)));
}

UINT pciVendorFromGlVendor(const std::string& glVendor) {
    static const struct {
        const char* name;
        UINT id;
    } kVendors[] = {{"NVIDIA", 0x10DE}, {"AMD", 0x1002}, {"ATI", 0x1002}, {"Intel", 0x8086}};
    for (const auto& vendor : kVendors)
        if (glVendor.find(vendor.name) != std::string::npos)
            return vendor.id;
    return 0;
}

} // namespace quavel::d3d11
