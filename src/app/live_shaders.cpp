#include "app/live_shaders.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "app/demo_app.h"
#include "app/edit_output.h"
#include "files/utf8_path.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace {

constexpr const wchar_t* kTitle = L"quavel1";
constexpr const wchar_t* kBrokenTitle = L"quavel1 - shader broken";

void say(const char* format, ...) {
    std::FILE* out = editOutput();
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("quavel1: ", out);
    std::vfprintf(out, format, arguments);
    std::fputs("\n", out);
    va_end(arguments);
    std::fflush(out);
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

LiveShaders::LiveShaders(DemoApp& app, std::string folder, std::string logFile)
    : app_(app), folder_(std::move(folder)), logFile_(std::move(logFile)) {}

bool LiveShaders::start(std::string& error) {
    if (folder_.empty()) {
        say("the shader programs are the built-in ones and are not watched; to edit them while "
            "the show runs, start it with --edit --shaders DIR (DIR a copy of src/demo/shaders)");
        return true;
    }
    std::error_code failed;
    if (!std::filesystem::is_directory(files::pathFromUtf8(folder_), failed)) {
        error = "--shaders: '" + folder_ + "' is not a folder";
        return false;
    }
    reload_ = std::make_unique<ShaderReload>(*app_.engine, quavel_demo_shaders_programs, folder_);
    watch_ = std::make_unique<ShaderWatch>(reload_->folder());
    band_ = std::make_unique<BrokenBand>(app_);
    // The show starts with its linked programs while the folder's are compiled.
    reload_->beginAll();
    say("watching the shader sources in %s; compiling its programs", reload_->folder().c_str());
    return true;
}

void LiveShaders::betweenFrames() {
    if (!watch_)
        return;
    if (const std::vector<std::string> changed = watch_->poll(); !changed.empty())
        reload_->begin(changed);
    const auto began = std::chrono::steady_clock::now();
    if (const std::optional<ShaderSwap> swap = reload_->finish())
        report(*swap,
               std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                   .count());
}

void LiveShaders::drawn() {
    if (band_ && !brokenText_.empty())
        band_->draw(brokenText_);
}

void LiveShaders::report(const ShaderSwap& swap, double swapMs) {
    const double compileMs = swap.compileSeconds * 1000.0;
    if (first_) {
        // A folder holding the build's own sources must give every running program again: a
        // program swapped in here differs from the build's, by its text or by its compiler.
        first_ = false;
        say("%u programs compiled from %s are the running ones, %u differ%s (%.0f ms)",
            unsigned(swap.unchanged.size()), reload_->folder().c_str(),
            unsigned(swap.swapped.size() + swap.held.size()),
            swap.swapped.empty() ? "" : (" and run now: " + joined(swap.swapped)).c_str(),
            compileMs);
    } else {
        for (const std::string& program : swap.swapped)
            say("%s swapped in (compiled in %.0f ms, swapped in %.0f ms)", program.c_str(),
                compileMs, swapMs);
        for (const std::string& program : swap.unchanged)
            say("%s compiled to the program running (%.0f ms)", program.c_str(), compileMs);
    }
    if (!swap.held.empty())
        say("%s compiled but wait%s for the broken programs", joined(swap.held).c_str(),
            swap.held.size() == 1 ? "s" : "");

    const std::vector<std::string> broken = reload_->broken();
    // Fixed programs may be said broken again later, with the same message.
    for (auto it = printed_.begin(); it != printed_.end();)
        it = std::find(broken.begin(), broken.end(), it->first) == broken.end() ? printed_.erase(it)
                                                                                : std::next(it);
    for (const std::string& message : swap.errors) {
        const std::string program = message.substr(0, message.find(':'));
        std::string& said = printed_[program];
        if (said != message)
            say("shader broken: %s", message.c_str());
        said = message;
    }
    const bool wasBroken = !brokenText_.empty();
    brokenText_ = broken.empty() ? std::string()
                                 : "shader broken: " + joined(broken) +
                                       (logFile_.empty() ? "" : "  (messages in " + logFile_ + ")");
    if (wasBroken != !broken.empty()) {
        SetWindowTextW(app_.window, broken.empty() ? kTitle : kBrokenTitle);
        if (broken.empty())
            say("every shader program compiles again");
    }
}
