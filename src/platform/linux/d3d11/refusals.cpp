#include "platform/linux/d3d11/refusals.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quavel::d3d11 {
namespace {

// Read on every refusal, so a program (or a test) may switch it on at any time.
bool reporting() {
    const char* value = std::getenv("QUAVEL_D3D11_DEBUG");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

void report(const char* call, const char* verdict, const char* rule) {
    if (reporting()) {
        std::fprintf(stderr, "d3d11: %s %s: %s\n", call, verdict, rule);
    }
}

} // namespace

HRESULT refuse(const char* call, const char* rule) {
    report(call, "refused", rule);
    return E_INVALIDARG;
}

void dropCall(const char* call, const char* rule) {
    report(call, "dropped", rule);
}

} // namespace quavel::d3d11
