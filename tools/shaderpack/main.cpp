// shaderpack: compiles one HLSL program into the C++ source of its shader block (the Linux
// build's shader step; Windows links fxc containers or compiles at start-up), and the two
// ends of the web build's step around naga (web/tools/spirv-to-wgsl.mjs): SPIR-V with the
// binding table, then the WGSL block.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "shader_compiler.h"
#include "source_writer.h"
#include "wgsl_bindings.h"

namespace {

const char* const usage =
    "usage: shaderpack compile --stage vs|ps|cs --entry NAME --source FILE.hlsl [--include "
    "DIR]...\n"
    "                          --name NAME --output FILE.cpp [--depfile FILE.d]\n"
    "Compiles an HLSL program (shader model 5.0) to the Direct3D layer's shader block (GLSL\n"
    "4.50 and its register table) and writes it as a C++ source defining\n"
    "`const unsigned char NAME[]` and `NAME_size`; the depfile lists every file it read.\n"
    "\n"
    "       shaderpack spirv --stage vs|ps|cs --entry NAME --source FILE.hlsl [--include DIR]...\n"
    "                        --output FILE.spv --table FILE.table [--depfile FILE.d]\n"
    "Compiles the same way for the web build: vertex programs with y inverted, each stage's\n"
    "resources in its bind group; the table says which register each binding stands for.\n"
    "\n"
    "       shaderpack wgsl-block --table FILE.table --wgsl FILE.wgsl --name NAME --output "
    "FILE.cpp\n"
    "Writes the web build's block: the table with the WGSL text naga made from the SPIR-V.\n";

int fail(const std::string& message, int status = 1) {
    std::fprintf(stderr, "shaderpack: %s\n", message.c_str());
    return status;
}

// A build step interrupted half-way must not leave a block the next build takes as made.
bool writeFile(const std::string& path, const std::string& contents, std::string* error) {
    return files::writeWholeFile(path, contents.data(), contents.size(), {}, error);
}

// Make syntax: spaces in a path are escaped.
std::string depfileText(const std::string& target, const std::vector<std::string>& inputs) {
    auto escaped = [](const std::string& path) {
        std::string out;
        for (char c : path) {
            out += c == ' ' ? "\\ " : std::string(1, c);
        }
        return out;
    };
    std::string text = escaped(target) + ":";
    for (const std::string& input : inputs) {
        text += " \\\n  " + escaped(input);
    }
    return text + "\n";
}

bool readFile(const std::string& path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

using Options = std::map<std::string, std::string>;

int requireOptions(const Options& options, std::initializer_list<const char*> names) {
    for (const char* required : names) {
        if (options.count(required) == 0) {
            return fail(std::string("missing --") + required, 2);
        }
    }
    return 0;
}

std::string programName(const std::string& path) {
    std::string program = path.substr(path.find_last_of('/') + 1);
    return program.substr(0, program.find('.'));
}

int compileMode(Options& options, const std::vector<std::string>& includeDirs,
                quavel::d3d11::ShaderStage stage) {
    if (int status = requireOptions(options, {"name", "output"})) {
        return status;
    }
    const std::string& path = options["source"];
    shaderpack::CompileResult result = shaderpack::compileHlsl(
        {programName(path), path, stage, options["entry"], includeDirs, std::nullopt});
    if (!result.ok()) {
        return fail(result.error->text());
    }
    std::string error;
    if (options.count("depfile") &&
        !writeFile(options["depfile"], depfileText(options["output"], result.included), &error)) {
        return fail(error);
    }
    if (!writeFile(options["output"], shaderpack::byteBlockSource(options["name"], result.block),
                   &error)) {
        return fail(error);
    }
    return 0;
}

int spirvMode(Options& options, const std::vector<std::string>& includeDirs,
              quavel::d3d11::ShaderStage stage) {
    if (int status = requireOptions(options, {"output", "table"})) {
        return status;
    }
    const std::string& path = options["source"];
    const std::string program = programName(path);
    shaderpack::SpirvResult spirv = shaderpack::hlslToSpirv(
        {program, path, stage, options["entry"], includeDirs, std::nullopt}, true, true);
    if (spirv.error) {
        return fail(spirv.error->text());
    }
    shaderpack::setDescriptorSet(spirv.words, quavel::web::groupOf(stage));
    quavel::web::WgslBlock table{stage, {}, ""};
    std::string error;
    if (!shaderpack::wgslBindings(stage, spirv.words, table.bindings, error)) {
        return fail(program + ": " + path + ": " + error);
    }
    const std::vector<uint8_t> tableBytes = quavel::web::encodeWgslBlock(table);
    const std::string words(reinterpret_cast<const char*>(spirv.words.data()),
                            spirv.words.size() * sizeof(uint32_t));
    if (options.count("depfile") &&
        !writeFile(options["depfile"], depfileText(options["output"], spirv.included), &error)) {
        return fail(error);
    }
    if (!writeFile(options["table"], std::string(tableBytes.begin(), tableBytes.end()), &error) ||
        !writeFile(options["output"], words, &error)) {
        return fail(error);
    }
    return 0;
}

int wgslBlockMode(Options& options) {
    if (int status = requireOptions(options, {"table", "wgsl", "name", "output"})) {
        return status;
    }
    std::string tableBytes;
    quavel::web::WgslBlock block;
    if (!readFile(options["table"], tableBytes) ||
        !quavel::web::decodeWgslBlock(tableBytes.data(), tableBytes.size(), block) ||
        !block.wgsl.empty()) {
        return fail(options["table"] + " is not a binding table from shaderpack spirv");
    }
    if (!readFile(options["wgsl"], block.wgsl) || block.wgsl.empty()) {
        return fail("cannot read " + options["wgsl"]);
    }
    const std::vector<uint8_t> bytes = quavel::web::encodeWgslBlock(block);
    std::string error;
    if (!writeFile(options["output"], shaderpack::byteBlockSource(options["name"], bytes),
                   &error)) {
        return fail(error);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string mode = argv[1];
    if (mode != "compile" && mode != "spirv" && mode != "wgsl-block") {
        return fail("unknown mode " + mode + " (see --help)", 2);
    }
    Options options;
    std::vector<std::string> includeDirs;
    for (int i = 2; i < argc; i += 2) {
        if (std::strncmp(argv[i], "--", 2) != 0 || i + 1 >= argc) {
            return fail(std::string("expected --option value, got ") + argv[i], 2);
        }
        if (std::strcmp(argv[i], "--include") == 0) {
            includeDirs.push_back(argv[i + 1]);
        } else {
            options[argv[i] + 2] = argv[i + 1];
        }
    }
    if (mode == "wgsl-block") {
        return wgslBlockMode(options);
    }
    if (int status = requireOptions(options, {"stage", "entry", "source"})) {
        return status;
    }
    const auto stage = quavel::d3d11::shaderStageNamed(options["stage"]);
    if (!stage) {
        return fail("--stage must be vs, ps or cs, not '" + options["stage"] + "'", 2);
    }
    return mode == "compile" ? compileMode(options, includeDirs, *stage)
                             : spirvMode(options, includeDirs, *stage);
}
