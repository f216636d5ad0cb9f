#include "app/shader_reload.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <utility>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/creation_check.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/graph_runtime.h"
#include "files/utf8_path.h"
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
    shaderpack::HlslSource source; // read by the workers, never changed after construction
    std::vector<uint8_t> running;  // the block the passes run
    std::set<std::string> read;    // the files the last compile read, absolute
    bool failed = false;
    bool held = false; // compiled to a new block that a failed program of its batch kept back
    std::vector<Use> uses;
};

// Programs compiled on worker threads. Each worker takes the next program until none is left;
// the results are read on the device's thread only once `done` counts them all.
struct ShaderReload::Batch {
    std::vector<Program*> programs;
    std::vector<shaderpack::CompileResult> results;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::vector<std::thread> workers;
    std::chrono::steady_clock::time_point began = std::chrono::steady_clock::now();
    std::atomic<std::int64_t> compiledAfterNs{0}; // set by the worker that finishes last

    bool compiled() const { return done.load() == programs.size(); }
    void work(const HlslCompiler& compiler) {
        for (std::size_t i; (i = next++) < programs.size();) {
            results[i] = compiler(programs[i]->source);
            if (++done == programs.size())
                compiledAfterNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::steady_clock::now() - began)
                                      .count();
        }
    }
    void join() {
        for (std::thread& worker : workers)
            worker.join();
        workers.clear();
    }
};

namespace {

std::string absolute(const std::string& path) {
    std::error_code failed;
    const fs::path given = files::pathFromUtf8(path);
    const fs::path made = fs::weakly_canonical(fs::absolute(given), failed);
    return files::utf8Of(failed ? fs::absolute(given).lexically_normal() : made);
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

bool stageMade(const ShaderRuntime& runtime, ShaderStage stage) {
    return stage == ShaderStage::Vertex  ? runtime.vertexShader != nullptr
           : stage == ShaderStage::Pixel ? runtime.pixelShader != nullptr
                                         : runtime.computeShader != nullptr;
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
                           const shaderpack::HlslProgramList& programs, std::string folder,
                           HlslCompiler compiler)
    : folder_(absolute(folder)), compiler_(std::move(compiler)) {
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

ShaderReload::~ShaderReload() {
    if (batch_)
        batch_->join();
}

shaderpack::HlslSource ShaderReload::sourceIn(const shaderpack::HlslProgram& listed,
                                              const std::string& folder) {
    const fs::path original(listed.path);
    shaderpack::HlslSource source{listed.name,
                                  files::utf8Of(files::pathFromUtf8(folder) / original.filename()),
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

void ShaderReload::beginAll() {
    if (batch_) {
        queuedAll_ = true;
        return;
    }
    std::vector<Program*> all;
    for (auto& program : programs_)
        all.push_back(program.get());
    start(std::move(all));
}

void ShaderReload::begin(const std::vector<std::string>& changed) {
    std::set<std::string> files;
    for (const std::string& file : changed)
        files.insert(absolute(file));
    if (batch_) {
        queued_.insert(files.begin(), files.end());
        beginQueued_ = true;
        return;
    }
    start(programsFor(files));
}

std::vector<ShaderReload::Program*>
ShaderReload::programsFor(const std::set<std::string>& files) const {
    std::vector<Program*> chosen;
    for (const auto& program : programs_) {
        const bool reads = std::any_of(program->read.begin(), program->read.end(),
                                       [&](const std::string& f) { return files.count(f) > 0; });
        if (program->failed || program->held || reads || program->read.empty())
            chosen.push_back(program.get());
    }
    return chosen;
}

void ShaderReload::start(std::vector<Program*> programs) {
    if (programs.empty())
        return;
    batch_ = std::make_unique<Batch>();
    batch_->programs = std::move(programs);
    batch_->results.resize(batch_->programs.size());
    const std::size_t threads = std::min<std::size_t>(
        batch_->programs.size(), std::max(1u, std::thread::hardware_concurrency()));
    try {
        for (std::size_t t = 0; t < threads; ++t)
            batch_->workers.emplace_back([batch = batch_.get(), this] { batch->work(compiler_); });
    } catch (const std::system_error&) {
        // No thread at all: compile here, the frame waits (better than never compiling).
        if (batch_->workers.empty())
            batch_->work(compiler_);
    }
}

bool ShaderReload::compiling() const {
    return batch_ && !batch_->compiled();
}

std::optional<ShaderSwap> ShaderReload::finish() {
    if (!batch_ || !batch_->compiled())
        return std::nullopt;
    batch_->join();
    ShaderSwap swap;
    swap.compileSeconds = double(batch_->compiledAfterNs.load()) * 1e-9;
    swapIn(*batch_, swap);
    batch_.reset();
    // Saves made while the batch compiled: the next batch starts at once.
    const std::set<std::string> queued = std::exchange(queued_, {});
    if (std::exchange(queuedAll_, false))
        beginAll();
    else if (std::exchange(beginQueued_, false))
        begin(std::vector<std::string>(queued.begin(), queued.end()));
    return swap;
}

ShaderSwap ShaderReload::waitAndFinish() {
    if (!batch_)
        return {};
    batch_->join();
    return *finish();
}

ShaderSwap ShaderReload::compileAll() {
    beginAll();
    return waitAndFinish();
}

ShaderSwap ShaderReload::compileChanged(const std::vector<std::string>& changed) {
    begin(changed);
    return waitAndFinish();
}

std::vector<std::string> ShaderReload::broken() const {
    std::vector<std::string> names;
    for (const auto& program : programs_)
        if (program->failed)
            names.push_back(program->source.program);
    return names;
}

void ShaderReload::swapIn(Batch& batch, ShaderSwap& swap) {
    std::vector<std::size_t> renewed; // compiled to a block other than the running one
    for (std::size_t i = 0; i < batch.programs.size(); ++i) {
        Program& program = *batch.programs[i];
        const shaderpack::CompileResult& result = batch.results[i];
        // Even a failed compile says what it read (a fix in an include is then noticed).
        program.read.clear();
        for (const std::string& file : result.included)
            program.read.insert(absolute(file));
        program.read.insert(absolute(program.source.path));
        program.failed = !result.ok();
        program.held = false;
        if (program.failed)
            swap.errors.push_back(result.error->text());
        else if (result.block == program.running)
            swap.unchanged.push_back(program.source.program);
        else
            renewed.push_back(i);
    }
    auto holdRenewed = [&] {
        for (std::size_t i : renewed) {
            batch.programs[i]->held = true;
            swap.held.push_back(batch.programs[i]->source.program);
        }
    };
    if (!swap.errors.empty()) {
        holdRenewed();
        return;
    }

    // Every pass's new shader objects are made before any old one goes: one shader runtime
    // may take two programs of the batch (a vertex and a pixel program), so each runtime is
    // made once, from its description with every renewed stage in place.
    struct Made {
        ShaderRuntime runtime;
        std::vector<Use*> uses;
        std::vector<std::size_t> programs; // batch index of each use's program
    };
    std::map<ShaderRuntime*, Made> made;
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> blocks(batch.programs.size());
    for (std::size_t i : renewed) {
        blocks[i] = std::make_shared<const std::vector<uint8_t>>(std::move(batch.results[i].block));
        for (Use& use : batch.programs[i]->uses) {
            auto [entry, fresh] = made.try_emplace(use.runtime);
            if (fresh)
                entry->second.runtime.desc = use.runtime->desc;
            const StageCode code = stageCode(entry->second.runtime.desc, use.stage);
            *code.code = blocks[i]->data();
            *code.size = uint32_t(blocks[i]->size());
            entry->second.uses.push_back(&use);
            entry->second.programs.push_back(i);
        }
    }
    std::string refusal;
    for (auto& [runtime, next] : made) {
        Fennick::gfx::CreationCheck check;
        Fennick::gfx::setCreationSubject(next.runtime.desc.name[0] ? next.runtime.desc.name
                                                                   : "a live program");
        next.runtime.create();
        for (std::size_t u = 0; u < next.uses.size() && refusal.empty(); ++u) {
            if (check.passed() && stageMade(next.runtime, next.uses[u]->stage))
                continue;
            refusal = check.passed() ? "the device made no shader" : check.firstFailure();
            Program& refused = *batch.programs[next.programs[u]];
            refused.failed = true;
            swap.errors.push_back(refused.source.program + ": " + refusal);
        }
        if (!refusal.empty())
            break;
    }
    if (!refusal.empty()) {
        for (auto& [runtime, next] : made)
            releaseShaders(next.runtime);
        renewed.erase(std::remove_if(renewed.begin(), renewed.end(),
                                     [&](std::size_t i) { return batch.programs[i]->failed; }),
                      renewed.end());
        holdRenewed();
        return;
    }
    for (auto& [runtime, next] : made) {
        releaseShaders(*runtime);
        *runtime = next.runtime;
        for (std::size_t u = 0; u < next.uses.size(); ++u)
            next.uses[u]->block = blocks[next.programs[u]];
    }
    for (std::size_t i : renewed) {
        batch.programs[i]->running = *blocks[i];
        swap.swapped.push_back(batch.programs[i]->source.program);
    }
}
