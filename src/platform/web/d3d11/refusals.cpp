#include "platform/web/d3d11/refusals.h"

#include <cstdio>

namespace quavel::d3d11 {

HRESULT refuse(const char* call, const char* rule) {
    std::fprintf(stderr, "d3d11: %s refused: %s\n", call, rule);
    return E_INVALIDARG;
}

void dropCall(const char* call, const char* rule) {
    std::fprintf(stderr, "d3d11: %s dropped: %s\n", call, rule);
}

} // namespace quavel::d3d11
