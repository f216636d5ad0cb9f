// The assets linked into the executable: the shader programs, the images, the scroll message
// and the music. Nothing is read from disk.
#pragma once

#include <cstdint>

// DemoShader: one value per program of src/demo/shaders/CMakeLists.txt, in the list's order
// (generated with the table of their blocks).
#include "demo_shader_list.h"

struct AssetBlock {
    const void* data;
    std::uint32_t size;
};

enum class DemoImage {
    logoTex,
    logoTex2,
    logoTex3,
    logoTex4,
    glowstuffmap,
    heartImage,
    CredsImage,
    letterAtlas,
    letterAtlas2,
};

AssetBlock demoShader(DemoShader shader);
// The program's file stem, e.g. "ps_composite", for messages.
const char* demoShaderName(DemoShader shader);
AssetBlock demoImage(DemoImage image);

// The scroll message as glyph codes (signed 32-bit) and their count.
const std::int32_t* messageCodes();
std::uint32_t messageCodeCount();

// The XM module of the soundtrack.
const void* showModule();
std::uint32_t showModuleSize();
