// shaderpack: makes the C++ source of one compiled shader block from spirv-cross GLSL and
// its reflection (the Linux build's shader step; Windows links fxc containers as they are).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "glsl_bindings.h"
#include "source_writer.h"

namespace {

const char* const usage =
    "usage: shaderpack pack --stage vs|ps|cs --glsl FILE --reflect FILE --name NAME --output FILE\n"
    "Turns spirv-cross GLSL and its --reflect JSON into the Direct3D layer's shader block and\n"
    "writes it as a C++ source defining `const unsigned char NAME[]` and `NAME_size`.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "shaderpack: %s\n", message.c_str());
    return 1;
}

bool readFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary);
    out << contents;
    return static_cast<bool>(out.flush());
}

bool stageOf(const std::string& name, quavel::d3d11::ShaderStage& stage) {
    static const std::map<std::string, quavel::d3d11::ShaderStage> stages = {
        {"vs", quavel::d3d11::ShaderStage::Vertex},
        {"ps", quavel::d3d11::ShaderStage::Pixel},
        {"cs", quavel::d3d11::ShaderStage::Compute}};
    auto found = stages.find(name);
    if (found == stages.end()) {
        return false;
    }
    stage = found->second;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    std::string mode = argv[1];
    std::map<std::string, std::string> options;
    for (int i = 2; i < argc; i += 2) {
        if (std::strncmp(argv[i], "--", 2) != 0 || i + 1 >= argc) {
            return fail(std::string("expected --option value, got ") + argv[i]);
        }
        options[argv[i] + 2] = argv[i + 1];
    }
    for (const char* required : {"name", "output"}) {
        if (options.count(required) == 0) {
            return fail(std::string("missing --") + required);
        }
    }
    std::vector<uint8_t> bytes;
    if (mode == "pack") {
        quavel::d3d11::ShaderStage stage;
        if (!stageOf(options["stage"], stage)) {
            return fail("--stage must be vs, ps or cs");
        }
        std::string glsl, reflection, error;
        if (!readFile(options["glsl"], glsl)) {
            return fail("cannot read GLSL " + options["glsl"]);
        }
        if (!readFile(options["reflect"], reflection)) {
            return fail("cannot read reflection " + options["reflect"]);
        }
        quavel::d3d11::ShaderBlock block;
        if (!shaderpack::buildShaderBlock(stage, glsl, reflection, block, error)) {
            return fail(options["glsl"] + ": " + error);
        }
        bytes = quavel::d3d11::encodeShaderBlock(block);
    } else {
        return fail("unknown mode " + mode + " (see --help)");
    }
    if (!writeFile(options["output"], shaderpack::byteBlockSource(options["name"], bytes))) {
        return fail("cannot write " + options["output"]);
    }
    return 0;
}
