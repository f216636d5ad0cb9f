// xmrender: renders an XM module to a WAV file with the project's own module player.
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/command_line.h"
#include "input_file.h"
#include "module_extent.h"
#include "module_info.h"
#include "music/module_player.h"
#include "options.h"
#include "render.h"
#include "wav_file.h"

namespace {

constexpr const char* kTool = "xmrender";
// No module worth playing comes near this; it keeps /dev/zero from filling memory.
constexpr uint64_t kMaxModuleBytes = 1ull << 30;

int fail(const std::string& message) {
    return cli::failure(kTool, message);
}

ProgressReport progressOnTerminal(uint32_t rate) {
    if (!isatty(STDERR_FILENO)) {
        return nullptr;
    }
    return [rate](uint64_t frames) {
        std::fprintf(stderr, "\rxmrender: %.1f s rendered", static_cast<double>(frames) / rate);
        std::fflush(stderr);
    };
}

RenderPlan planOf(const RenderOptions& options) {
    RenderPlan plan;
    plan.loopLimit = static_cast<uint8_t>(options.loops);
    plan.skipFrames = framesOf(options.start, options.rate);
    plan.maxFrames =
        options.seconds > 0 ? framesOf(options.seconds, options.rate) : defaultCapFrames(options);
    return plan;
}

// Renders without keeping anything: how many frames the plan delivers.
RenderResult countFrames(const std::vector<uint8_t>& module, const RenderOptions& options) {
    ModulePlayer* player = nullptr;
    if (createModulePlayer(&player, module.data(), module.size(), options.rate) != kPlayerOk) {
        return {};
    }
    const RenderResult result =
        renderModule(player, planOf(options), [](const float*, uint32_t) { return true; });
    destroyModulePlayer(player);
    return result;
}

std::string pastTheEnd(const std::vector<uint8_t>& module, const RenderOptions& options) {
    bool ended = false;
    const uint64_t length = songLengthFrames(module.data(), module.size(), options.rate,
                                             defaultCapFrames(options), &ended);
    char text[160];
    std::snprintf(text, sizeof text,
                  "--start %.3f s is past the end of the song (%.3f s%s); nothing written",
                  options.start, static_cast<double>(length) / options.rate,
                  options.loops > 1 ? " per loop" : "");
    return text;
}

int render(const RenderOptions& options, const std::vector<uint8_t>& module) {
    ModulePlayer* player = nullptr;
    const int created = createModulePlayer(&player, module.data(), module.size(), options.rate);
    if (created == kPlayerOutOfMemory) {
        return fail("'" + options.input + "' needs more memory than the player allows");
    }
    if (created != kPlayerOk) {
        return fail("cannot load '" + options.input + "'");
    }
    WavFile wav;
    std::string error;
    const SampleFormat format = options.pcm16 ? SampleFormat::Pcm16 : SampleFormat::Float32;
    if (!wav.create(options.output, format, options.rate, &error, {options.input})) {
        destroyModulePlayer(player);
        return fail(error);
    }
    if (wav.streaming()) {
        // A stream cannot be rewound for the header: the length is worked out first.
        const RenderResult counted = countFrames(module, options);
        if (counted.frames == 0 && counted.songEnded) {
            destroyModulePlayer(player);
            return fail(pastTheEnd(module, options));
        }
        wav.expectFrames(counted.frames);
    }
    const ProgressReport progress = progressOnTerminal(options.rate);
    const RenderResult result = renderModule(
        player, planOf(options),
        [&](const float* frames, uint32_t count) { return wav.write(frames, count, &error); },
        progress);
    destroyModulePlayer(player);
    if (progress) {
        std::fprintf(stderr, "\n");
    }
    if (result.sinkFailed) {
        return fail(error);
    }
    if (result.frames == 0 && result.songEnded) {
        return fail(pastTheEnd(module, options));
    }
    if (!wav.finish(&error)) {
        return fail(error);
    }
    if (options.seconds <= 0 && options.loops != 0 && !result.songEnded) {
        std::fprintf(stderr,
                     "xmrender: the song did not end within %.0f s; stopped there "
                     "(use --seconds to choose)\n",
                     static_cast<double>(defaultCapFrames(options)) / options.rate);
    }
    return cli::kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    switch (parseOptions(argc, argv, &options, &error)) {
    case ParseOutcome::Help:
        std::fputs(kUsage, stdout);
        return cli::kExitOk;
    case ParseOutcome::Refused:
        return cli::usageError(kTool, error);
    case ParseOutcome::Run:
        break;
    }
    std::vector<uint8_t> module;
    if (!cli::readInputFile(options.input, kMaxModuleBytes, &module, &error)) {
        return fail(error);
    }
    const int check = checkModuleHeader(module.data(), module.size());
    if (check != kHeaderValid) {
        return fail("'" + options.input + "': " + moduleHeaderError(check));
    }
    if (const uint64_t missing = moduleMissingBytes(module.data(), module.size())) {
        std::fprintf(stderr,
                     "xmrender: '%s' is truncated: it lacks %llu bytes at its end; rendering "
                     "what is there\n",
                     options.input.c_str(), static_cast<unsigned long long>(missing));
    }
    if (options.info) {
        const std::string info = moduleInfo(module, options.rate, defaultCapFrames(options));
        if (info.empty()) {
            return fail("'" + options.input + "' needs more memory than the player allows");
        }
        std::fputs(info.c_str(), stdout);
        return cli::kExitOk;
    }
    return render(options, module);
}
