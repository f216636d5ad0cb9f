#include "demo/show_assets.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "demo_asset_files.h"
#include "demo_shaders.h"
#include "platform/shader_code.h"

namespace {

struct ShaderEntry {
    DemoShader id;
    const unsigned char* code;
    const unsigned int* size;
    const char* name; // the program's file stem
};

// One block per distinct program; passes that use the same program share its block.
const ShaderEntry kShaders[] = {
    {DemoShader::vsFullscreen, vsFullscreen, &vsFullscreen_size, "vs_fullscreen"},
    {DemoShader::vsFullscreenFlipY, vsFullscreenFlipY, &vsFullscreenFlipY_size,
     "vs_fullscreen_flip_y"},
    {DemoShader::vsFullscreenFlipY2, vsFullscreenFlipY2, &vsFullscreenFlipY2_size,
     "vs_fullscreen_flip_y2"},
    {DemoShader::vsParticles, vsParticles, &vsParticles_size, "vs_particles"},
    {DemoShader::vsGlyphs, vsGlyphs, &vsGlyphs_size, "vs_glyphs"},
    {DemoShader::vsExplosion, vsExplosion, &vsExplosion_size, "vs_explosion"},
    {DemoShader::psPyramid, psPyramid, &psPyramid_size, "ps_pyramid"},
    {DemoShader::psGlowBlur, psGlowBlur, &psGlowBlur_size, "ps_glow_blur"},
    {DemoShader::psParticle, psParticle, &psParticle_size, "ps_particle"},
    {DemoShader::psComposite, psComposite, &psComposite_size, "ps_composite"},
    {DemoShader::psPyramidPost, psPyramidPost, &psPyramidPost_size, "ps_pyramid_post"},
    {DemoShader::psGlyphs, psGlyphs, &psGlyphs_size, "ps_glyphs"},
    {DemoShader::psScrollerPost, psScrollerPost, &psScrollerPost_size, "ps_scroller_post"},
    {DemoShader::psGlowLogo, psGlowLogo, &psGlowLogo_size, "ps_glow_logo"},
    {DemoShader::psRasters, psRasters, &psRasters_size, "ps_rasters"},
    {DemoShader::psExplosion, psExplosion, &psExplosion_size, "ps_explosion"},
    {DemoShader::psCopy, psCopy, &psCopy_size, "ps_copy"},
    {DemoShader::psSpriteCoverage, psSpriteCoverage, &psSpriteCoverage_size, "ps_sprite_coverage"},
    {DemoShader::psGlowQuiet, psGlowQuiet, &psGlowQuiet_size, "ps_glow_quiet"},
    {DemoShader::csPyramid, csPyramid, &csPyramid_size, "cs_pyramid"},
    {DemoShader::csParticles, csParticles, &csParticles_size, "cs_particles"},
    {DemoShader::csMessageLayout, csMessageLayout, &csMessageLayout_size, "cs_message_layout"},
};
static_assert(std::size(kShaders) == kDemoShaderCount, "every program has its entry");

struct ImageEntry {
    DemoImage id;
    const unsigned char* file;
    const unsigned int* size;
};

const ImageEntry kImages[] = {
    {DemoImage::logoTex, logoTexPng, &logoTexPng_size},
    {DemoImage::logoTex2, logoTex2Png, &logoTex2Png_size},
    {DemoImage::logoTex3, logoTex3Png, &logoTex3Png_size},
    {DemoImage::logoTex4, logoTex4Png, &logoTex4Png_size},
    {DemoImage::glowstuffmap, glowstuffmapPng, &glowstuffmapPng_size},
    {DemoImage::heartImage, heartImagePng, &heartImagePng_size},
    {DemoImage::CredsImage, CredsImagePng, &CredsImagePng_size},
    {DemoImage::letterAtlas, letterAtlasPng, &letterAtlasPng_size},
    {DemoImage::letterAtlas2, letterAtlas2Png, &letterAtlas2Png_size},
};

// The codes are stored little-endian in the linked bytes; copying them out once gives a
// properly typed and aligned array.
const std::vector<std::int32_t>& codes() {
    static const std::vector<std::int32_t> decoded = [] {
        std::vector<std::int32_t> c(messageCodesBin_size / sizeof(std::int32_t));
        std::memcpy(c.data(), messageCodesBin, c.size() * sizeof(std::int32_t));
        return c;
    }();
    return decoded;
}

} // namespace

AssetBlock demoShader(DemoShader shader) {
    for (const ShaderEntry& e : kShaders)
        if (e.id == shader) {
            const ShaderCode code = shaderBytecode(e.code, *e.size);
            return {code.code, code.size};
        }
    return {nullptr, 0};
}

const char* demoShaderName(DemoShader shader) {
    for (const ShaderEntry& e : kShaders)
        if (e.id == shader)
            return e.name;
    return "";
}

AssetBlock demoImage(DemoImage image) {
    for (const ImageEntry& e : kImages)
        if (e.id == image)
            return {e.file, *e.size};
    return {nullptr, 0};
}

const std::int32_t* messageCodes() {
    return codes().data();
}
std::uint32_t messageCodeCount() {
    return static_cast<std::uint32_t>(codes().size());
}

const void* showModule() {
    return showModuleXm;
}
std::uint32_t showModuleSize() {
    return showModuleXm_size;
}
