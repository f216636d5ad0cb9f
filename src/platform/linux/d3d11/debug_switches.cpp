#include "platform/linux/d3d11/debug_switches.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/d3d11/device.h"

namespace quavel::d3d11 {

namespace {

struct LevelName {
    const char* name;
    D3D_FEATURE_LEVEL level;
};

// "none" lies below every level: no hardware device at all.
const LevelName kLevels[] = {
    {"11_0", D3D_FEATURE_LEVEL_11_0},
    {"10_1", D3D_FEATURE_LEVEL_10_1},
    {"10_0", D3D_FEATURE_LEVEL_10_0},
    {"9_3", D3D_FEATURE_LEVEL_9_3},
    {"9_2", D3D_FEATURE_LEVEL_9_2},
    {"9_1", D3D_FEATURE_LEVEL_9_1},
    {"none", static_cast<D3D_FEATURE_LEVEL>(0)},
};

bool switchedOn(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

// "N" or "N:M" with N >= 1; false (and a note) for anything else.
bool readCount(const char* name, unsigned& first, unsigned* second) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return false;
    unsigned a = 0, b = 0;
    char extra = 0;
    const bool good = second ? std::sscanf(value, "%u:%u%c", &a, &b, &extra) == 2
                             : std::sscanf(value, "%u%c", &a, &extra) == 1;
    if (!good || a == 0) {
        std::fprintf(stderr, "Direct3D layer: %s=%s is not %s; ignored\n", name, value,
                     second ? "N:MS (N from 1)" : "a count from 1");
        return false;
    }
    first = a;
    if (second)
        *second = b;
    return true;
}

DebugSwitches readSwitches() {
    DebugSwitches s;
    if (const char* level = std::getenv("QUAVEL_D3D11_HARDWARE_LEVEL"); level && *level) {
        bool known = false;
        for (const LevelName& l : kLevels)
            if (std::strcmp(level, l.name) == 0) {
                s.hardwareLevel = l.level;
                known = true;
            }
        if (!known)
            std::fprintf(stderr,
                         "Direct3D layer: QUAVEL_D3D11_HARDWARE_LEVEL=%s is not a level from 9_1 "
                         "to 11_0 or none; ignored\n",
                         level);
    }
    s.noWarp = switchedOn("QUAVEL_D3D11_NO_WARP");
    s.fillNew = switchedOn("QUAVEL_D3D11_FILL_NEW");
    readCount("QUAVEL_D3D11_REMOVE_AT_PRESENT", s.removeAtPresent, nullptr);
    readCount("QUAVEL_D3D11_OCCLUDE_AT_PRESENT", s.occludeAtPresent, &s.occludedMs);
    s.noFactory6 = switchedOn("QUAVEL_D3D11_NO_FACTORY6");
    if (const char* text = std::getenv("QUAVEL_D3D11_REFUSE_SHADER"))
        s.refusedShaderText = text;
    return s;
}

} // namespace

const DebugSwitches& debugSwitches() {
    static const DebugSwitches switches = readSwitches();
    return switches;
}

bool driverLevel(D3D_DRIVER_TYPE driver, const D3D_FEATURE_LEVEL* requested, UINT count,
                 D3D_FEATURE_LEVEL& chosen, HRESULT& refusal) {
    refusal = S_OK;
    if (driver == D3D_DRIVER_TYPE_WARP && debugSwitches().noWarp) {
        refusal = DXGI_ERROR_UNSUPPORTED;
        return false;
    }
    if (!chooseFeatureLevel(requested, count, chosen))
        return false;
    if (driver != D3D_DRIVER_TYPE_HARDWARE || chosen <= debugSwitches().hardwareLevel)
        return true;
    // The first requested level the limited hardware offers.
    for (UINT i = 0; requested != nullptr && i < count; ++i)
        if (requested[i] <= debugSwitches().hardwareLevel &&
            requested[i] >= D3D_FEATURE_LEVEL_9_1) {
            chosen = requested[i];
            return true;
        }
    refusal = DXGI_ERROR_UNSUPPORTED;
    return false;
}

} // namespace quavel::d3d11
