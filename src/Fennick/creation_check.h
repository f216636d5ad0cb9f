// The results of the device calls that make the graph's objects, looked at once, at start-up:
//
//     Fennick::gfx::CreationCheck check;          // failures are recorded from here on
//     setCreationSubject("resource 5");           // the builder names what it makes
//     ... build the graph ...
//     if (!check.passed()) stop(check.firstFailure());
//
// The engine reports every object it creates with noteCreation(call, hr, object). Outside a
// check nothing is recorded: the constant buffer that is made again every frame costs one
// comparison more, nothing else.
#pragma once

#include <string>

#include "platform/d3d11.h"

namespace Fennick::gfx {

class CreationCheck {
public:
    CreationCheck();
    ~CreationCheck();
    CreationCheck(const CreationCheck&) = delete;
    CreationCheck& operator=(const CreationCheck&) = delete;

    bool passed() const { return failures_ == 0; }
    int failures() const { return failures_; }
    // "CreateTexture2D for resource 5 (copy B) failed: 0x8007000E (E_OUTOFMEMORY)"
    const std::string& firstFailure() const { return first_; }

    // Called through noteCreation.
    void record(const char* call, const char* detail, HRESULT hr);

private:
    CreationCheck* outer_;
    std::string first_;
    int failures_ = 0;
};

// Names what is being made in the failures recorded until the next call.
void setCreationSubject(std::string subject);

// A creation failed when it returned a failure code or no object. `detail` says which of the
// object's parts the call made ("copy B", "the vertex shader"), or is empty.
void noteCreation(const char* call, HRESULT hr, const void* made, const char* detail = "");

// "0x887A0004 (DXGI_ERROR_UNSUPPORTED)"; the name is left out for codes without one here.
std::string hresultText(HRESULT hr);

} // namespace Fennick::gfx
