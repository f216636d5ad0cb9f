#include "app/live_shaders.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "app/demo_app.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace {
constexpr const wchar_t* kTitle = L"quavel1";
constexpr const wchar_t* kBrokenTitle = L"quavel1 - shader broken";
} // namespace

LiveShaders::LiveShaders(DemoApp& app, std::string folder)
    : app_(app), folder_(std::move(folder)) {}

bool LiveShaders::start(std::string& error) {
    std::error_code failed;
    if (!std::filesystem::is_directory(folder_, failed)) {
        error = "--shaders: '" + folder_ + "' is not a folder";
        return false;
    }
    reload_ = std::make_unique<ShaderReload>(*app_.engine, quavel_demo_shaders_programs, folder_);
    watch_ = std::make_unique<ShaderWatch>(reload_->folder());
    const ShaderSwap first = reload_->compileAll();
    report(first);
    // A folder holding the build's own sources must give every running program again: a
    // program swapped in here differs from the build's, by its text or by its compiler.
    std::string swapped;
    for (const std::string& program : first.swapped)
        swapped += " " + program;
    std::fprintf(stderr,
                 "quavel1: watching the shader sources in %s; %u programs compiled from them "
                 "are the running ones, %u differ%s\n",
                 reload_->folder().c_str(), unsigned(first.unchanged.size()),
                 unsigned(first.swapped.size()),
                 swapped.empty() ? "" : (" and run now:" + swapped).c_str());
    return true;
}

void LiveShaders::betweenFrames() {
    if (!watch_)
        return;
    const std::vector<std::string> changed = watch_->poll();
    if (changed.empty())
        return;
    const auto began = std::chrono::steady_clock::now();
    const ShaderSwap swap = reload_->compileChanged(changed);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    // The compile of the programs that read the change, and the swap of those that changed.
    for (const std::string& program : swap.swapped)
        std::fprintf(stderr, "quavel1: %s swapped in (%.0f ms for the compile and swap)\n",
                     program.c_str(), ms);
    for (const std::string& program : swap.unchanged)
        std::fprintf(stderr, "quavel1: %s compiled to the program running (%.0f ms)\n",
                     program.c_str(), ms);
    report(swap);
}

void LiveShaders::report(const ShaderSwap& swap) {
    const std::vector<std::string> broken = reload_->broken();
    // Fixed programs may be said broken again later, with the same message.
    for (auto it = printed_.begin(); it != printed_.end();)
        it = std::find(broken.begin(), broken.end(), it->first) == broken.end() ? printed_.erase(it)
                                                                                : std::next(it);
    for (const std::string& message : swap.errors) {
        const std::string program = message.substr(0, message.find(':'));
        std::string& said = printed_[program];
        if (said != message)
            std::fprintf(stderr, "quavel1: shader broken: %s\n", message.c_str());
        said = message;
    }
    if (titleBroken_ != !broken.empty()) {
        titleBroken_ = !broken.empty();
        SetWindowTextW(app_.window, titleBroken_ ? kBrokenTitle : kTitle);
        if (!titleBroken_)
            std::fprintf(stderr, "quavel1: every shader program compiles again\n");
    }
}
