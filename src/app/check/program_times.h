// The show's shader programs (the demo's and the final pass's 2) with what each cost at
// start-up: compiling (only where the build links HLSL source and D3DCompile makes the
// bytecode while the program starts) and creating its shader object on the device (on the
// Linux layer that compiles the GLSL; linking waits for the first draw).
#pragma once

#include <string>
#include <vector>

#include "platform/d3d11.h"

struct ProgramTime {
    std::string name;             // file stem, e.g. "ps_glow_logo"
    double compileSeconds = -1.0; // negative: linked as bytecode, nothing compiled
    double createSeconds = -1.0;  // negative: no bytecode (it did not compile)
    HRESULT created = E_FAIL;     // what the device answered
};

// Creates (and releases) every program's shader object once, timing each. Call after
// prepareShaderCode.
std::vector<ProgramTime> timeShowPrograms(ID3D11Device* device);

// The program name of a bytecode pointer the graph was given (for naming passes); "" for
// one that is not a show program.
std::string programNameOfBytecode(const void* code);
