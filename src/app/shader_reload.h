// The show's shader programs compiled from a folder of HLSL sources while it runs, and put in
// place of the programs its passes use, between frames:
//
//     ShaderReload reload(*app.engine, quavel_demo_shaders_programs, "/home/me/shaders");
//     ShaderSwap swap = reload.compileAll();          // or reload.compileChanged(files)
//     for (const std::string& message : swap.errors) puts(message.c_str());
//
// A program is the file of its name in the folder (ps_copy.hlsl for ps_copy); its includes are
// looked up beside it first. It compiles as the build's programs were made (platform/
// hlsl_compiler.h), so the folder's copy of the build's sources gives the running programs. Each
// pass that uses a program gets a new shader object made from the new block; only when the device
// made it does it replace the pass's old one. A program that does not compile, or that the device
// refuses, leaves its passes as they were.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hlsl_program.h"
#include "platform/hlsl_compiler.h"

namespace Fennick::gfx {
class GraphRuntime;
struct ShaderRuntime;
} // namespace Fennick::gfx

struct ShaderSwap {
    std::vector<std::string> swapped;   // programs now running from the folder's text
    std::vector<std::string> errors;    // "program: file:line: message", one per failed program
    std::vector<std::string> unchanged; // compiled to the block that already runs
    bool ok() const { return errors.empty(); }
};

class ShaderReload {
public:
    // Finds which passes of graph use which of programs (by the block the pass was made from).
    ShaderReload(Fennick::gfx::GraphRuntime& graph, const shaderpack::HlslProgramList& programs,
                 std::string folder);
    ~ShaderReload();
    ShaderReload(const ShaderReload&) = delete;
    ShaderReload& operator=(const ShaderReload&) = delete;

    const std::string& folder() const { return folder_; }

    // What compiles a listed program from the file of its name in folder.
    static shaderpack::HlslSource sourceIn(const shaderpack::HlslProgram& listed,
                                           const std::string& folder);

    // Every program of the list that some pass uses.
    ShaderSwap compileAll();
    // The programs that read one of `changed` (paths as the compiler gave them, or made
    // absolute) when they were last compiled, and every program whose last compile failed.
    ShaderSwap compileChanged(const std::vector<std::string>& changed);
    // The programs whose last compile (or swap) failed: their passes run the program before.
    std::vector<std::string> broken() const;

private:
    struct Program;
    struct Use;
    void compile(Program& program, ShaderSwap& swap);
    bool swapInto(Use& use, const std::shared_ptr<const std::vector<uint8_t>>& block,
                  std::string& error);

    Fennick::gfx::GraphRuntime& graph_;
    std::string folder_;
    std::vector<std::unique_ptr<Program>> programs_;
};
