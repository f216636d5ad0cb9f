// The show's shader programs compiled from a folder of HLSL sources while it runs, and put in
// place of the programs its passes use, between frames:
//
//     ShaderReload reload(*app.engine, quavel_demo_shaders_programs, "/home/me/shaders");
//     reload.begin(changedFiles);                   // compiles on worker threads
//     between frames: if (std::optional<ShaderSwap> swap = reload.finish()) report(*swap);
//
//     ShaderSwap swap = reload.compileAll();        // the same, waited for (captures, benches)
//
// A program is the file of its name in the folder (ps_copy.hlsl for ps_copy); its includes are
// looked up beside it first. It compiles as the build's programs were made (platform/
// hlsl_compiler.h), so the folder's copy of the build's sources gives the running programs.
//
// The programs of one batch are compiled on worker threads while the show goes on drawing with
// the ones it has; once all are compiled, finish() swaps them in together, or none of them: a
// batch in which a program does not compile (or the device refuses one) changes no pass, so an
// include shared by a vertex and a pixel program never runs half old, half new. Programs that
// compiled but waited for a broken one are compiled again with the next batch. Each pass that
// uses a program gets a new shader object made from the new block; the old one is released
// only once every new one of the batch exists.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/hlsl_compiler.h"
#include "platform/hlsl_program.h"

namespace Fennick::gfx {
class GraphRuntime;
struct ShaderRuntime;
} // namespace Fennick::gfx

struct ShaderSwap {
    std::vector<std::string> swapped;   // programs now running from the folder's text
    std::vector<std::string> errors;    // "program: file:line: message", one per failed program
    std::vector<std::string> unchanged; // compiled to the block that already runs
    std::vector<std::string> held;      // compiled to a new block, kept back by a failed one
    double compileSeconds = 0.0;        // from begin() until the last program was compiled
    bool ok() const { return errors.empty(); }
};

// Compiles one program; called on worker threads, several at once.
using HlslCompiler = std::function<shaderpack::CompileResult(const shaderpack::HlslSource&)>;

class ShaderReload {
public:
    // Finds which passes of graph use which of programs (by the block the pass was made from).
    ShaderReload(Fennick::gfx::GraphRuntime& graph, const shaderpack::HlslProgramList& programs,
                 std::string folder, HlslCompiler compiler = shaderpack::compileHlsl);
    // Waits for a batch still compiling.
    ~ShaderReload();
    ShaderReload(const ShaderReload&) = delete;
    ShaderReload& operator=(const ShaderReload&) = delete;

    const std::string& folder() const { return folder_; }

    // What compiles a listed program from the file of its name in folder.
    static shaderpack::HlslSource sourceIn(const shaderpack::HlslProgram& listed,
                                           const std::string& folder);

    // Starts a batch of every program that some pass uses.
    void beginAll();
    // Starts a batch of the programs that read one of `changed` (paths as the compiler gave
    // them, or made absolute) when they were last compiled, every program whose last compile
    // failed and every one held back. While a batch compiles, the files wait for the next one,
    // which finish() starts.
    void begin(const std::vector<std::string>& changed);
    bool compiling() const;
    // Between frames, on the device's thread: once the running batch is compiled, swaps it in
    // and says what happened; nullopt while it compiles or when none runs.
    std::optional<ShaderSwap> finish();

    // begin and finish, waited for.
    ShaderSwap compileAll();
    ShaderSwap compileChanged(const std::vector<std::string>& changed);

    // The programs whose last compile (or swap) failed: their passes run the program before.
    std::vector<std::string> broken() const;

private:
    struct Program;
    struct Use;
    struct Batch;
    void start(std::vector<Program*> programs);
    std::vector<Program*> programsFor(const std::set<std::string>& files) const;
    void swapIn(Batch& batch, ShaderSwap& swap);
    ShaderSwap waitAndFinish();

    std::string folder_;
    HlslCompiler compiler_;
    std::vector<std::unique_ptr<Program>> programs_;
    std::unique_ptr<Batch> batch_;
    std::set<std::string> queued_; // changed while the batch compiles
    bool beginQueued_ = false;     // begin() was called while the batch compiled
    bool queuedAll_ = false;       // beginAll() was
};
