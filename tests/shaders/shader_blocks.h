// The compiled programs as the build links them in, and the fixture of the tests that run them.
#pragma once

#include <gtest/gtest.h>

#include "demo_shaders.h"
#include "shader_test_probes.h"
#include "shaders/gpu_harness.h"

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
