// The compiled programs as the build links them in.
#pragma once

#include "demo_shaders.h"
#include "shader_test_probes.h"
#include "shaders/gpu_harness.h"

#define SHADER(name) (ShaderBlock{name, name##_size})
