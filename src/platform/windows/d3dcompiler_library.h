// d3dcompiler_47.dll (part of Windows 10 and 11), loaded by name once for the process: the
// start-up compile of the linked programs and the live compile of quavel1 --edit both go
// through d3dCompile, so they give the same bytecode for the same text.
//
//     std::string error;
//     pD3DCompile compile = d3dCompileFunction(error);   // nullptr: error says why
//     D3DCompilation r = d3dCompile(compile, text, size, "ps_copy.hlsl", nullptr, "pixel_main",
//                                   "ps_5_0");
//     if (r.code) use(r.code->GetBufferPointer(), r.code->GetBufferSize()); // caller releases
//
// Loading it at run time rather than linking it gives a system without it a clear message
// instead of a loader error before the program starts.
#pragma once

#include <string>

#include "platform/win32.h"

#include <d3dcompiler.h>

pD3DCompile d3dCompileFunction(std::string& error);

struct D3DCompilation {
    HRESULT result = E_FAIL;
    ID3DBlob* code = nullptr; // null when the program did not compile; the caller releases it
    std::string message;      // the compiler's errors and warnings, trailing blanks removed
};

// One program with the flags every compile of the show uses. include may be null when the
// text includes nothing. Safe to call from several threads at once.
D3DCompilation d3dCompile(pD3DCompile compile, const void* text, size_t size,
                          const char* sourceName, ID3DInclude* include, const char* entry,
                          const char* target);
