// The compiled programs as the build links them in, and the fixture of the tests that run them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "demo/shaders/gpu_harness.h"
#include "demo_shaders.h"
#include "shader_test_probes.h"

#define SHADER(name) (ShaderBlock{name, name##_size})

// Every shader test needs the device; where none can be made the test is skipped.
class ShaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gpu.ready())
            GTEST_SKIP() << "no Direct3D device";
    }
    GpuHarness gpu;
};

// Every channel of got within tol of want; tol 0 asks for equal values, and NaN never matches.
inline ::testing::AssertionResult sameRgba(const Rgba& got, const Rgba& want, float tol = 0) {
    for (float d : {got.r - want.r, got.g - want.g, got.b - want.b, got.a - want.a})
        if (!(std::fabs(d) <= tol))
            return ::testing::AssertionFailure()
                   << "got " << got.r << " " << got.g << " " << got.b << " " << got.a << " want "
                   << want.r << " " << want.g << " " << want.b << " " << want.a << " tol " << tol;
    return ::testing::AssertionSuccess();
}
