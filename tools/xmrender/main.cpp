// xmrender: renders an XM module to a WAV file with the project's own module player.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "module_info.h"
#include "music/module_player.h"
#include "options.h"
#include "render.h"
#include "wav_file.h"

namespace {

// Without --seconds a song that never comes back to a played row stops here.
constexpr double kDefaultCapSeconds = 3600.0;

int fail(const std::string& message) {
    std::fprintf(stderr, "xmrender: %s\n", message.c_str());
    return 1;
}

bool readFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read '" + path + "': " + std::strerror(errno ? errno : ENOENT);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "cannot read '" + path + "': " + std::strerror(errno ? errno : EIO);
        return false;
    }
    return true;
}

uint64_t toFrames(double seconds, uint32_t rate) {
    return static_cast<uint64_t>(std::llround(seconds * rate));
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

int render(const RenderOptions& options, const std::vector<uint8_t>& module) {
    ModulePlayer* player = nullptr;
    const int created = createModulePlayer(&player, module.data(), module.size(), options.rate);
    if (created == kPlayerOutOfMemory) {
        return fail("'" + options.input + "' needs more memory than the player allows");
    }
    if (created != kPlayerOk) {
        return fail("cannot load '" + options.input + "'");
    }
    RenderPlan plan;
    plan.loopLimit = static_cast<uint8_t>(options.loops);
    plan.skipFrames = toFrames(options.start, options.rate);
    const double cap = options.seconds > 0 ? options.seconds : kDefaultCapSeconds;
    plan.maxFrames = toFrames(cap, options.rate);

    WavFile wav;
    std::string error;
    const SampleFormat format = options.pcm16 ? SampleFormat::Pcm16 : SampleFormat::Float32;
    if (!wav.create(options.output, format, options.rate, &error)) {
        destroyModulePlayer(player);
        return fail(error);
    }
    const ProgressReport progress = progressOnTerminal(options.rate);
    const RenderResult result = renderModule(
        player, plan,
        [&](const float* frames, uint32_t count) { return wav.write(frames, count, &error); },
        progress);
    destroyModulePlayer(player);
    if (progress) {
        std::fprintf(stderr, "\n");
    }
    if (result.sinkFailed || !wav.finish(&error)) {
        return fail(error);
    }
    if (options.seconds <= 0 && options.loops != 0 && !result.songEnded) {
        std::fprintf(stderr,
                     "xmrender: the song did not end within %.0f s; stopped there "
                     "(use --seconds to choose)\n",
                     kDefaultCapSeconds);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!parseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "xmrender: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::vector<uint8_t> module;
    if (!readFile(options.input, &module, &error)) {
        return fail(error);
    }
    const int check = checkModuleHeader(module.data(), module.size());
    if (check != kHeaderValid) {
        return fail("'" + options.input + "': " + moduleHeaderError(check));
    }
    if (options.info) {
        const std::string info =
            moduleInfo(module, options.rate, toFrames(kDefaultCapSeconds, options.rate));
        if (info.empty()) {
            return fail("'" + options.input + "' needs more memory than the player allows");
        }
        std::fputs(info.c_str(), stdout);
        return 0;
    }
    return render(options, module);
}
