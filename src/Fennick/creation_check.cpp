#include "Fennick/creation_check.h"

#include <cstdint>
#include <cstdio>

namespace Fennick::gfx {

namespace {

CreationCheck* activeCheck = nullptr;
std::string& subject() {
    static std::string text;
    return text;
}

struct NamedResult {
    HRESULT hr;
    const char* name;
};

// The codes device creation and resource creation are documented to return.
const NamedResult kNames[] = {
    {HRESULT(0x887A0001L), "DXGI_ERROR_INVALID_CALL"},
    {HRESULT(0x887A0004L), "DXGI_ERROR_UNSUPPORTED"},
    {HRESULT(0x887A0005L), "DXGI_ERROR_DEVICE_REMOVED"},
    {HRESULT(0x887A0006L), "DXGI_ERROR_DEVICE_HUNG"},
    {HRESULT(0x887A0007L), "DXGI_ERROR_DEVICE_RESET"},
    {HRESULT(0x887A0020L), "DXGI_ERROR_DRIVER_INTERNAL_ERROR"},
    {HRESULT(0x887C0002L), "D3D11_ERROR_FILE_NOT_FOUND"},
    {HRESULT(0x887C0001L), "D3D11_ERROR_TOO_MANY_UNIQUE_STATE_OBJECTS"},
    {HRESULT(0x80004005L), "E_FAIL"},
    {HRESULT(0x80070057L), "E_INVALIDARG"},
    {HRESULT(0x8007000EL), "E_OUTOFMEMORY"},
    {HRESULT(0x80004001L), "E_NOTIMPL"},
    {HRESULT(0x80004002L), "E_NOINTERFACE"},
    {HRESULT(0x80004003L), "E_POINTER"},
};

} // namespace

CreationCheck::CreationCheck() : outer_(activeCheck) {
    activeCheck = this;
}

CreationCheck::~CreationCheck() {
    activeCheck = outer_;
    subject().clear();
}

void CreationCheck::record(const char* call, const char* detail, HRESULT hr) {
    if (failures_++ > 0)
        return;
    first_ = std::string(call);
    if (!subject().empty() || *detail)
        first_ += " for " + (subject().empty() ? std::string("the graph") : subject()) +
                  (*detail ? std::string(" (") + detail + ")" : std::string());
    first_ +=
        SUCCEEDED(hr) ? " gave no object (" + hresultText(hr) + ")" : " failed: " + hresultText(hr);
}

void setCreationSubject(std::string text) {
    subject() = std::move(text);
}

void noteCreation(const char* call, HRESULT hr, const void* made, const char* detail) {
    if (activeCheck && (FAILED(hr) || made == nullptr))
        activeCheck->record(call, detail, hr);
}

std::string hresultText(HRESULT hr) {
    char text[48];
    std::snprintf(text, sizeof text, "0x%08lX",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
    for (const NamedResult& n : kNames)
        if (n.hr == hr)
            return std::string(text) + " (" + n.name + ")";
    return text;
}

} // namespace Fennick::gfx
