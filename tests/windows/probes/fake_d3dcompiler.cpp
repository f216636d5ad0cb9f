// d3dcompiler_47.dll stand-in for the Wine checks. Wine's HLSL compiler refuses most of the
// show's programs, so quavel1.exe would stop before its window exists. This one "compiles"
// every program into a few bytes that are no shader: the show then opens its window, creates
// the device and its graph, and stops at the first shader object the device refuses, which
// is what the checks look at (the window's place and size, the creation check's message).
#include <windows.h>

#include <d3dcommon.h>

namespace {

class Blob final : public ID3D10Blob {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    LPVOID STDMETHODCALLTYPE GetBufferPointer() override { return bytes_; }
    SIZE_T STDMETHODCALLTYPE GetBufferSize() override { return sizeof bytes_; }

private:
    ULONG references_ = 1;
    unsigned char bytes_[16] = {'n', 'o', 't', ' ', 'a', ' ', 's', 'h', 'a', 'd', 'e', 'r'};
};

} // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    D3DCompile(LPCVOID, SIZE_T, LPCSTR, const D3D_SHADER_MACRO*, ID3DInclude*, LPCSTR, LPCSTR, UINT,
               UINT, ID3DBlob** code, ID3DBlob** messages) {
    if (messages)
        *messages = nullptr;
    if (!code)
        return E_INVALIDARG;
    *code = new Blob();
    return S_OK;
}
