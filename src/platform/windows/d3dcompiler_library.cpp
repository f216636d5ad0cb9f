#include "platform/windows/d3dcompiler_library.h"

#include <mutex>

pD3DCompile d3dCompileFunction(std::string& error) {
    static std::once_flag once;
    static pD3DCompile compile = nullptr;
    static std::string failure;
    std::call_once(once, [] {
        HMODULE library = LoadLibraryW(L"d3dcompiler_47.dll");
        if (!library) {
            failure = "d3dcompiler_47.dll cannot be loaded (Windows error " +
                      std::to_string(GetLastError()) +
                      "); it is part of Windows 10 and 11 and compiles the show's shaders";
            return;
        }
        compile = reinterpret_cast<pD3DCompile>(
            reinterpret_cast<void*>(GetProcAddress(library, "D3DCompile")));
        if (!compile)
            failure = "d3dcompiler_47.dll has no D3DCompile";
    });
    if (!compile)
        error = failure;
    return compile;
}

D3DCompilation d3dCompile(pD3DCompile compile, const void* text, size_t size,
                          const char* sourceName, ID3DInclude* include, const char* entry,
                          const char* target) {
    D3DCompilation r;
    ID3DBlob* messages = nullptr;
    r.result =
        compile(text, size, sourceName, nullptr, include, entry, target, 0, 0, &r.code, &messages);
    if (messages) {
        r.message.assign(static_cast<const char*>(messages->GetBufferPointer()),
                         messages->GetBufferSize());
        messages->Release();
    }
    while (!r.message.empty() &&
           std::string("\r\n \0", 4).find(r.message.back()) != std::string::npos)
        r.message.pop_back();
    if (FAILED(r.result) && r.code) {
        r.code->Release();
        r.code = nullptr;
    }
    if (SUCCEEDED(r.result) && !r.code)
        r.result = E_FAIL;
    return r;
}
