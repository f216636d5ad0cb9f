// shaderpack: compiles one HLSL program into the C++ source of its shader block (the Linux
// build's shader step; Windows links fxc containers or compiles at start-up).
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "shader_compiler.h"
#include "source_writer.h"

namespace {

const char* const usage =
    "usage: shaderpack compile --stage vs|ps|cs --entry NAME --source FILE.hlsl [--include "
    "DIR]...\n"
    "                          --name NAME --output FILE.cpp [--depfile FILE.d]\n"
    "Compiles an HLSL program (shader model 5.0) to the Direct3D layer's shader block (GLSL\n"
    "4.50 and its register table) and writes it as a C++ source defining\n"
    "`const unsigned char NAME[]` and `NAME_size`; the depfile lists every file it read.\n";

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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "compile") != 0) {
        return fail(std::string("unknown mode ") + argv[1] + " (see --help)", 2);
    }
    std::map<std::string, std::string> options;
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
    for (const char* required : {"stage", "entry", "source", "name", "output"}) {
        if (options.count(required) == 0) {
            return fail(std::string("missing --") + required, 2);
        }
    }
    const auto stage = quavel::d3d11::shaderStageNamed(options["stage"]);
    if (!stage) {
        return fail("--stage must be vs, ps or cs, not '" + options["stage"] + "'", 2);
    }
    std::string path = options["source"];
    std::string program = path.substr(path.find_last_of('/') + 1);
    program = program.substr(0, program.find('.'));
    shaderpack::CompileResult result = shaderpack::compileHlsl(
        {program, path, *stage, options["entry"], includeDirs, std::nullopt});
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
