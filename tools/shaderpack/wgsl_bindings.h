// The SPIR-V side of the web build's shader step: the module as naga will read it (every
// resource in its stage's bind group) and the table of which Direct3D register each resource
// binding stands for (platform/web/d3d11/wgsl_block.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/web/d3d11/wgsl_block.h"

namespace shaderpack {

// Moves every resource of the module into descriptor set `group`.
void setDescriptorSet(std::vector<uint32_t>& spirv, uint32_t group);

// The module's resources as block records; false with a reason for a resource the web layer
// cannot bind (combined samplers, storage images, a binding outside the register ranges).
bool wgslBindings(quavel::d3d11::ShaderStage stage, const std::vector<uint32_t>& spirv,
                  std::vector<quavel::web::WgslBinding>& bindings, std::string& error);

} // namespace shaderpack
