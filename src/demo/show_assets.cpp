#include "demo/show_assets.h"

#include <cstring>
#include <vector>

#include "demo_asset_files.h"
#include "platform/shader_code.h"

namespace {

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

// One block per distinct program; passes that use the same program share its block.
const DemoShaderBlock* shaderBlock(DemoShader shader) {
    const int index = static_cast<int>(shader);
    return index >= 0 && index < kDemoShaderCount ? &kDemoShaderBlocks[index] : nullptr;
}

} // namespace

AssetBlock demoShader(DemoShader shader) {
    const DemoShaderBlock* block = shaderBlock(shader);
    if (!block)
        return {nullptr, 0};
    const ShaderCode code = shaderBytecode(block->code, *block->size);
    return {code.code, code.size};
}

const char* demoShaderName(DemoShader shader) {
    const DemoShaderBlock* block = shaderBlock(shader);
    return block ? block->name : "";
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
