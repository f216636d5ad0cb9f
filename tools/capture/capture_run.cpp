#include "capture_run.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

#include "app/back_buffer_reader.h"
#include "app/shader_reload.h"
#include "app/show.h"
#include "capture_outputs.h"
#include "demo/show_tracks.h"
#include "files/work_file.h"
#include "frame_sinks.h"
#include "params/sync_editor_client.h"

extern const shaderpack::HlslProgramList quavel_demo_shaders_programs;

namespace {

// The signal that asked the capture to stop; the frame being drawn is finished first.
volatile std::sig_atomic_t interrupted = 0;
void onInterrupt(int signal) {
    interrupted = signal;
}

// One status line per part, rewritten in place on a terminal and one line per report in a
// log (GNU parallel, Slurm), at most once a second.
class Progress {
public:
    explicit Progress(std::string label) : label_(std::move(label)) {}

    void report(const char* what, std::int64_t done, std::int64_t total, float time,
                bool last = false) {
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - began_).count();
        if (!last && done > 1 && std::chrono::duration<double>(now - shown_).count() < 1.0)
            return;
        shown_ = now;
        const double rate = elapsed > 0.0 ? done / elapsed : 0.0;
        const int left = rate > 0.0 ? static_cast<int>((total - done) / rate) : 0;
        std::fprintf(stderr, "%s%s: %s %lld/%lld  show %.2f s  %.2f frames/s  %d:%02d:%02d left%s",
                     isatty(2) ? "\r" : "", label_.c_str(), what, static_cast<long long>(done),
                     static_cast<long long>(total), time, rate, left / 3600, left / 60 % 60,
                     left % 60, isatty(2) && !last ? "   " : "\n");
    }
    void restart() { began_ = shown_ = std::chrono::steady_clock::now(); }

private:
    std::string label_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now(), shown_;
};

// The show's picture under the capture's playhead: the replay before the first written frame
// reports its progress, and an interruption cuts the replay short (nothing is drawn after it).
class CapturePicture final : public PlayheadPicture {
public:
    CapturePicture(DemoApp& app, Progress& progress, std::int64_t firstWritten)
        : show_(app), progress_(progress), firstWritten_(firstWritten) {}
    void replayDone() { firstWritten_ = 0; }

    void draw(float time, std::uint32_t frame, float elapsedTime) override {
        show_.draw(time, frame, elapsedTime);
    }
    void advanceState(float time, std::uint32_t frame, float elapsedTime) override {
        if (interrupted)
            return;
        show_.advanceState(time, frame, elapsedTime);
        if (firstWritten_ > 0)
            progress_.report("replaying frame", frame + 1, firstWritten_, time,
                             frame + 1 == firstWritten_);
    }
    void redrawLast() override { show_.redrawLast(); }
    void restart() override { show_.restart(); }

private:
    ShowPicture show_;
    Progress& progress_;
    std::int64_t firstWritten_;
};

// The show's programs compiled from options.shaders (a folder, as the plan checked) in place of
// the linked ones; every program must compile. The reload holds the new blocks for as long as
// the capture runs.
bool compileShaderFolder(DemoApp& app, const CaptureOptions& options, const CapturePlan& plan,
                         std::unique_ptr<ShaderReload>& reload, std::string& error) {
    reload =
        std::make_unique<ShaderReload>(*app.engine, quavel_demo_shaders_programs, options.shaders);
    const ShaderSwap swap = reload->compileAll();
    if (!swap.ok()) {
        error = swap.errors.front();
        for (std::size_t i = 1; i < swap.errors.size(); ++i)
            error += "\n" + swap.errors[i];
        return false;
    }
    std::fprintf(stderr, "%s: shader programs from %s: %zu changed, %zu as built\n",
                 plan.label.c_str(), reload->folder().c_str(), swap.swapped.size(),
                 swap.unchanged.size());
    return true;
}

// The work before the first frame: start-up, the folder's programs, the editor's keys, the
// read-back and the sink.
std::unique_ptr<FrameSink> startCapture(DemoApp& app, const CaptureOptions& options,
                                        const CapturePlan& plan,
                                        std::unique_ptr<BackBufferReader>& reader,
                                        std::unique_ptr<ShaderReload>& reload, std::string& error) {
    // Frames are read back, never shown: no window appears, and no display is needed.
    if (!startShowGraphics(app, error, WindowShown::Never, float(options.scale)))
        return nullptr;
    if (!options.shaders.empty() && !compileShaderFolder(app, options, plan, reload, error))
        return nullptr;
    if (options.edit) {
        std::string host;
        std::uint16_t port = 0;
        if (!parseEditorAddress(options.editAddress, host, port, error) ||
            !fetchEditorKeys(app.timeline, show::trackNames(), host, port, error))
            return nullptr;
        std::fprintf(stderr, "%s: keys taken from the sync editor at %s:%u\n", plan.label.c_str(),
                     host.c_str(), unsigned(port));
    }
    reader = std::make_unique<BackBufferReader>(app.device, app.immediateContext, app.swapChain);
    if (!reader->ok()) {
        error = "the back buffer cannot be read back";
        return nullptr;
    }
    return plan.video ? makeVideoSink(files::workName(plan.videoPath), plan.fps, reader->width(),
                                      reader->height(), plan.videoSoundtrack, error)
                      : makePngFolderSink(options.out);
}

// Every planned frame: the playhead seeks to it (replaying what lies between), draws it, and
// the picture read back goes to the sink.
void writeFrames(DemoApp& app, const CaptureOptions& options, const CapturePlan& plan,
                 BackBufferReader& reader, FrameSink& sink, CaptureRun& run) {
    const std::vector<std::int64_t>& frames = plan.frames;
    const FrameRange range = plan.range;
    const double fps = plan.fps;
    std::fprintf(stderr, "%s: grid frames %lld-%lld at %.6g fps (%.3f-%.3f s)\n",
                 plan.label.c_str(), static_cast<long long>(range.first),
                 static_cast<long long>(range.end() - 1), fps, gridTime(range.first, fps),
                 gridTime(range.end() - 1, fps));
    if (options.scale != 1.0)
        std::fprintf(stderr,
                     "%s: --scale %.6g: %u x %u frames, an approximation of the show for "
                     "quick looks\n",
                     plan.label.c_str(), options.scale, reader.width(), reader.height());
    // Frames that are not written are replayed: only what later frames depend on is run, so
    // every written frame is the one a continuous run from frame 0 shows.
    Progress progress(plan.label);
    CapturePicture picture(app, progress, frames.front());
    Playhead playhead(picture, fps);
    std::vector<std::uint8_t> rgba;
    for (const std::int64_t n : frames) {
        playhead.seekToGridFrame(n);
        if (interrupted)
            break;
        if (run.written == 0) {
            picture.replayDone();
            progress.restart();
        }
        const float time = gridTime(n, fps);
        playhead.advanceTo(time);
        if (!reader.read(rgba)) {
            run.error = "reading the frame back failed";
            break;
        }
        app.swapChain->Present(0, 0);
        if (!sink.write(n, rgba, reader.width(), reader.height())) {
            run.error = sink.error();
            break;
        }
        ++run.written;
        progress.report("frame", run.written, std::int64_t(frames.size()), time,
                        run.written == std::int64_t(frames.size()));
    }
}

} // namespace

CaptureRun runCapture(const CaptureOptions& options, const CapturePlan& plan) {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGPIPE, SIG_IGN); // a stopped ffmpeg shows as a failed write
    static DemoApp app;
    CaptureRun run;
    std::unique_ptr<BackBufferReader> reader;
    std::unique_ptr<ShaderReload> reload;
    std::unique_ptr<FrameSink> sink = startCapture(app, options, plan, reader, reload, run.error);
    if (sink) {
        writeFrames(app, options, plan, *reader, *sink, run);
        if (!sink->finish() && run.error.empty())
            run.error = sink->error();
    }
    if (!plan.videoSoundtrack.empty())
        std::filesystem::remove(plan.videoSoundtrack);
    shutdownShow(app);
    run.stopSignal = interrupted;
    return run;
}
