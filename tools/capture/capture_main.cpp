// quavel1-capture: plays the show's start-up, graph and frames with the clock taken from a
// fixed step instead of the sound card, and reads every presented frame back.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/show.h"
#include "back_buffer_reader.h"
#include "capture_options.h"
#include "frame_sinks.h"
#include "soundtrack_wav.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int) {
    interrupted = 1;
}

void progress(std::int64_t done, std::int64_t total, float time, double elapsedSeconds) {
    const double fps = elapsedSeconds > 0.0 ? done / elapsedSeconds : 0.0;
    const double left = fps > 0.0 ? (total - done) / fps : 0.0;
    std::fprintf(stderr, "\rframe %lld/%lld  show %.2f s  %.2f frames/s  %d:%02d left   ",
                 static_cast<long long>(done), static_cast<long long>(total), time, fps,
                 static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    if (!isatty(2))
        std::fputc('\n', stderr);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "quavel1-capture: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quavel1-capture: %s\n%s", error.c_str(), kCaptureUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kCaptureUsage, stdout);
        return 0;
    }
    const std::int64_t total = options.frameCount();
    const double seconds = total / options.fps;

    if (!options.audio.empty() && !writeSoundtrackWav(options.audio, options.start, seconds, error))
        return fail(error);

    // A video gets the soundtrack from a temporary WAV next to it.
    std::string videoSoundtrack;
    if (options.outIsVideo()) {
        videoSoundtrack = options.out + ".soundtrack.wav";
        if (!writeSoundtrackWav(videoSoundtrack, options.start, seconds, error))
            return fail(error);
    }

    static DemoApp app;
    // Frames are read back, never shown: no window appears, and no display is needed.
    if (!startShowGraphics(app, error, WindowShown::Never))
        return fail(error);
    BackBufferReader reader(app.device, app.immediateContext, app.swapChain);
    if (!reader.ok())
        return fail("the back buffer cannot be read back");

    std::unique_ptr<FrameSink> sink = options.outIsVideo()
                                          ? makeVideoSink(options.out, options.fps, reader.width(),
                                                          reader.height(), videoSoundtrack, error)
                                          : makePngFolderSink(options.out, error);
    if (!sink)
        return fail(error);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const auto began = std::chrono::steady_clock::now();
    std::vector<std::uint8_t> rgba;
    float previousTime = 0.0f;
    std::int64_t frame = 0;
    bool ok = true;
    for (; frame < total && !interrupted; ++frame) {
        const float time = static_cast<float>(options.start + frame / options.fps);
        if (time >= kShowLengthSeconds)
            break;
        renderShowFrame(app, time, static_cast<std::uint32_t>(frame), time - previousTime);
        previousTime = time;
        if (!reader.read(rgba)) {
            error = "reading the frame back failed";
            ok = false;
            break;
        }
        app.swapChain->Present(0, 0);
        if (!sink->write(rgba, reader.width(), reader.height())) {
            error = sink->error();
            ok = false;
            break;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        progress(frame + 1, total, time, elapsed);
    }
    std::fputc('\n', stderr);
    if (!sink->finish() && ok) {
        error = sink->error();
        ok = false;
    }
    if (!videoSoundtrack.empty())
        std::filesystem::remove(videoSoundtrack);
    shutdownShow(app);
    if (!ok)
        return fail(error);
    std::fprintf(stderr, "quavel1-capture: %lld frames%s written to %s\n",
                 static_cast<long long>(frame), interrupted ? " (interrupted)" : "",
                 options.out.c_str());
    return interrupted ? 130 : 0;
}
