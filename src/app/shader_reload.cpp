#include "app/shader_reload.h"

#include <algorithm>
#include <filesystem>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/creation_check.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/graph_runtime.h"
#include "platform/shader_code.h"

using Fennick::gfx::ShaderRuntime;
using quavel::d3d11::ShaderStage;
namespace fs = std::filesystem;

// One stage of one pass's shader that runs a program. block holds the bytes the pass's
// description points at once swapped, for as long as the pass uses them.
struct ShaderReload::Use {
    ShaderRuntime* runtime;
    ShaderStage stage;
    std::shared_ptr<const std::vector<uint8_t>> block;
};

struct ShaderReload::Program {
    shaderpack::HlslSource source;
    std::vector<uint8_t> running; // the block the passes run
    std::set<std::string> read;   // the files the last compile read, absolute
    bool failed = false;
    std::vector<Use> uses;
};

namespace {

std::string absolute(const std::string& path) {
    std::error_code failed;
    const fs::path made = fs::weakly_canonical(fs::absolute(path), failed);
    return failed ? fs::absolute(path).lexically_normal().string() : made.string();
}

// The shader's code pointer and size for a stage.
struct StageCode {
    const void** code;
    uint32_t* size;
};
StageCode stageCode(Fennick::gfx::ShaderDesc& desc, ShaderStage stage) {
    switch (stage) {
    case ShaderStage::Vertex:
        return {&desc.vertexCode, &desc.vertexCodeSize};
    case ShaderStage::Pixel:
        return {&desc.pixelCode, &desc.pixelCodeSize};
    default:
        return {&desc.computeCode, &desc.computeCodeSize};
    }
}

template <typename T> void releaseShader(T*& shader) {
    if (shader)
        shader->Release();
    shader = nullptr;
}

void releaseShaders(ShaderRuntime& runtime) {
    releaseShader(runtime.vertexShader);
    releaseShader(runtime.pixelShader);
    releaseShader(runtime.computeShader);
}

} // namespace

ShaderReload::ShaderReload(Fennick::gfx::GraphRuntime& graph,
                           const shaderpack::HlslProgramList& programs, std::string folder)
    : graph_(graph), folder_(absolute(folder)) {
    // The runtimes of every pass in the frame's list, the engine's own passes included.
    std::vector<ShaderRuntime*> runtimes;
    for (const Fennick::gfx::PassEntry& entry : graph.passes) {
        if (entry.kind == Fennick::gfx::PassKind::Draw && entry.draw)
            runtimes.push_back(&entry.draw->program);
        else if (entry.kind == Fennick::gfx::PassKind::Compute && entry.compute)
            runtimes.push_back(&entry.compute->program);
    }
    for (const shaderpack::HlslProgram& listed : programs) {
        auto program = std::make_unique<Program>();
        program->source = sourceIn(listed, folder_);
        // What the device was given for the linked block: the block itself, or where the
        // build links source, what the start-up compile made of it.
        const ShaderCode linked = shaderBytecode(listed.block, *listed.blockSize);
        const auto* bytes = static_cast<const uint8_t*>(linked.code);
        program->running.assign(bytes, bytes + (bytes ? linked.size : 0));
        for (ShaderRuntime* runtime : runtimes) {
            const StageCode code = stageCode(runtime->desc, program->source.stage);
            if (bytes && *code.code == bytes)
                program->uses.push_back({runtime, program->source.stage, nullptr});
        }
        if (!program->uses.empty())
            programs_.push_back(std::move(program));
    }
}

ShaderReload::~ShaderReload() = default;

shaderpack::HlslSource ShaderReload::sourceIn(const shaderpack::HlslProgram& listed,
                                              const std::string& folder) {
    const fs::path original(listed.path);
    shaderpack::HlslSource source{listed.name,
                                  (fs::path(folder) / original.filename()).string(),
                                  *quavel::d3d11::shaderStageNamed(listed.stage),
                                  listed.entry,
                                  {},
                                  std::nullopt};
    // The program's own folder is the new one; other include folders stay.
    for (const char* const* dir = listed.includeDirs; *dir != nullptr; ++dir)
        source.includeDirs.push_back(fs::path(*dir) == original.parent_path() ? folder
                                                                              : std::string(*dir));
    return source;
}

ShaderSwap ShaderReload::compileAll() {
    ShaderSwap swap;
    for (auto& program : programs_)
        compile(*program, swap);
    return swap;
}

ShaderSwap ShaderReload::compileChanged(const std::vector<std::string>& changed) {
    std::set<std::string> files;
    for (const std::string& file : changed)
        files.insert(absolute(file));
    ShaderSwap swap;
    for (auto& program : programs_) {
        const bool reads = std::any_of(program->read.begin(), program->read.end(),
                                       [&](const std::string& f) { return files.count(f) > 0; });
        if (program->failed || reads || program->read.empty())
            compile(*program, swap);
    }
    return swap;
}

std::vector<std::string> ShaderReload::broken() const {
    std::vector<std::string> names;
    for (const auto& program : programs_)
        if (program->failed)
            names.push_back(program->source.program);
    return names;
}

void ShaderReload::compile(Program& program, ShaderSwap& swap) {
    shaderpack::CompileResult result = shaderpack::compileHlsl(program.source);
    // Even a failed compile says what it read (a fix in an include is then noticed).
    program.read.clear();
    for (const std::string& file : result.included)
        program.read.insert(absolute(file));
    program.read.insert(absolute(program.source.path));
    if (!result.ok()) {
        program.failed = true;
        swap.errors.push_back(result.error->text());
        return;
    }
    program.failed = false;
    if (result.block == program.running) {
        swap.unchanged.push_back(program.source.program);
        return;
    }
    auto block = std::make_shared<const std::vector<uint8_t>>(std::move(result.block));
    for (Use& use : program.uses) {
        std::string error;
        if (!swapInto(use, block, error)) {
            // Passes already swapped keep the new program; the failure is reported, and the
            // next compile of the program tries again with all of them.
            program.failed = true;
            swap.errors.push_back(program.source.program + ": " + error);
            return;
        }
    }
    program.running = *block;
    swap.swapped.push_back(program.source.program);
}

bool ShaderReload::swapInto(Use& use, const std::shared_ptr<const std::vector<uint8_t>>& block,
                            std::string& error) {
    ShaderRuntime made;
    made.desc = use.runtime->desc;
    const StageCode code = stageCode(made.desc, use.stage);
    *code.code = block->data();
    *code.size = uint32_t(block->size());
    {
        Fennick::gfx::CreationCheck check;
        Fennick::gfx::setCreationSubject(made.desc.name[0] ? made.desc.name : "a live program");
        made.create();
        const bool stageMade = use.stage == ShaderStage::Vertex  ? made.vertexShader != nullptr
                               : use.stage == ShaderStage::Pixel ? made.pixelShader != nullptr
                                                                 : made.computeShader != nullptr;
        if (!check.passed() || !stageMade) {
            error = check.passed() ? "the device made no shader" : check.firstFailure();
            releaseShaders(made);
            return false;
        }
    }
    releaseShaders(*use.runtime);
    *use.runtime = made;
    use.block = block;
    return true;
}
