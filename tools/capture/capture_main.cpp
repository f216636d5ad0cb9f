// quavel1-capture: plays the show's start-up, graph and frames with the clock taken from a
// fixed frame grid instead of the sound card, and reads every presented frame back. A
// capture that begins after frame 0 first replays the frames before it without drawing them
// (advanceShowState), so its frames are those of a continuous run.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/back_buffer_reader.h"
#include "app/render_folder.h"
#include "app/show.h"
#include "capture_options.h"
#include "capture_outputs.h"
#include "command_line.h"
#include "demo/show_tracks.h"
#include "files/output_file.h"
#include "frame_join.h"
#include "frame_sinks.h"
#include "params/sync_editor_client.h"
#include "soundtrack_wav.h"

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

int fail(const std::string& message) {
    std::fprintf(stderr, "quavel1-capture: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    if (std::optional<int> code = parseCaptureOptions(argc, argv, options))
        return *code;
    std::string error;
    if (!options.join.empty())
        return joinRender(options, error) ? 0 : fail(error);

    const std::vector<std::int64_t> frames = options.framesToWrite();
    if (frames.empty())
        return cli::usageError("quavel1-capture", "--stills: no still lies before the show's end");
    const FrameRange range = FrameRange{frames.front(), frames.back() + 1 - frames.front()};
    const double fps = options.fps;
    const bool split = options.parts > 1;
    const std::string label = "quavel1-capture part " + std::to_string(options.part) + "/" +
                              std::to_string(options.parts);
    if (const FrameRange asked = options.requestedRange();
        options.stills.empty() && asked.count > options.wholeRange().count)
        std::fprintf(stderr,
                     "%s: note: the show ends at %.0f s; only %lld of the %lld frames asked for "
                     "lie before it, and only those are captured\n",
                     label.c_str(), kShowLengthSeconds,
                     static_cast<long long>(options.wholeRange().count),
                     static_cast<long long>(asked.count));

    // Every output is checked before the work. A part video goes beside --out; a whole video
    // gets its soundtrack from a temporary WAV next to it (a part video gets none: the join
    // adds it once).
    const bool video = options.outIsVideo();
    const std::string videoPath =
        split && video ? partVideoPath(options.out, options.part, options.parts) : options.out;
    std::string videoSoundtrack = video && !split ? options.out + ".soundtrack.wav" : "";
    const RenderRecord record{fps, options.wholeRange(), options.parts, options.scale};
    if (!options.audio.empty() && !files::checkOutput(options.audio, {}, &error))
        return fail("--audio: " + error);
    if (video && !files::checkOutput(videoPath, {}, &error))
        return fail("--out: " + error);
    if (!video &&
        !prepareFrameFolder(options.out, split ? &record : nullptr, options.overwrite, error))
        return fail(error);
    if (!videoSoundtrack.empty() && !writeSoundtrackWav(videoSoundtrack, double(range.first) / fps,
                                                        double(range.count) / fps, error))
        return fail(error);
    if (split &&
        !writeRenderRecord(video ? std::filesystem::absolute(options.out).parent_path().string()
                                 : options.out,
                           record, error))
        return fail(error);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGPIPE, SIG_IGN); // a stopped ffmpeg shows as a failed write
    static DemoApp app;
    // Frames are read back, never shown: no window appears, and no display is needed.
    if (!startShowGraphics(app, error, WindowShown::Never, float(options.scale)))
        return fail(error);
    if (options.edit) {
        std::string host;
        std::uint16_t port = 0;
        if (!parseEditorAddress(options.editAddress, host, port, error) ||
            !fetchEditorKeys(app.timeline, show::trackNames(), host, port, error))
            return fail(error);
        std::fprintf(stderr, "%s: keys taken from the sync editor at %s:%u\n", label.c_str(),
                     host.c_str(), unsigned(port));
    }
    BackBufferReader reader(app.device, app.immediateContext, app.swapChain);
    if (!reader.ok())
        return fail("the back buffer cannot be read back");

    const std::string videoWork = videoWorkPath(videoPath);
    std::unique_ptr<FrameSink> sink = video ? makeVideoSink(videoWork, fps, reader.width(),
                                                            reader.height(), videoSoundtrack, error)
                                            : makePngFolderSink(options.out, error);
    if (!sink)
        return fail(error);

    std::fprintf(stderr, "%s: grid frames %lld-%lld at %.6g fps (%.3f-%.3f s)\n", label.c_str(),
                 static_cast<long long>(range.first), static_cast<long long>(range.end() - 1), fps,
                 gridTime(range.first, fps), gridTime(range.end() - 1, fps));
    if (options.scale != 1.0)
        std::fprintf(stderr,
                     "%s: --scale %.6g: %u x %u frames, an approximation of the show for quick "
                     "looks\n",
                     label.c_str(), options.scale, reader.width(), reader.height());
    // Frames that are not written are replayed: only what later frames depend on is run, so
    // every written frame is the one a continuous run from frame 0 shows.
    Progress progress(label);
    CapturePicture picture(app, progress, frames.front());
    Playhead playhead(picture, fps);
    std::vector<std::uint8_t> rgba;
    std::int64_t written = 0;
    bool ok = true;
    for (const std::int64_t n : frames) {
        playhead.seekToGridFrame(n);
        if (interrupted)
            break;
        if (written == 0) {
            picture.replayDone();
            progress.restart();
        }
        const float time = gridTime(n, fps);
        playhead.advanceTo(time);
        if (!reader.read(rgba)) {
            error = "reading the frame back failed";
            ok = false;
            break;
        }
        app.swapChain->Present(0, 0);
        if (!sink->write(n, rgba, reader.width(), reader.height())) {
            error = sink->error();
            ok = false;
            break;
        }
        ++written;
        progress.report("frame", written, std::int64_t(frames.size()), time,
                        written == std::int64_t(frames.size()));
    }
    if (!sink->finish() && ok) {
        error = sink->error();
        ok = false;
    }
    if (!videoSoundtrack.empty())
        std::filesystem::remove(videoSoundtrack);
    shutdownShow(app);

    // The video becomes the final file only when complete; an interrupted one keeps the frames
    // written under a name that says so.
    std::string delivered = video ? videoPath : options.out;
    if (video) {
        std::error_code ec;
        if (ok && written > 0) {
            delivered = interrupted ? interruptedVideoPath(videoPath) : videoPath;
            std::filesystem::rename(videoWork, delivered, ec);
            if (ec) {
                error = "cannot name the video '" + delivered + "': " + ec.message();
                ok = false;
            }
        }
        std::filesystem::remove(videoWork, ec);
    }
    // The soundtrack covers exactly the frames written (the stills' whole stretch).
    const double audioSeconds = double(options.stills.empty() ? written : range.count) / fps;
    if (ok && !options.audio.empty() && written > 0 &&
        !writeSoundtrackWav(options.audio, double(range.first) / fps, audioSeconds, error))
        ok = false;
    if (!ok)
        return fail(error);
    if (interrupted) {
        std::fprintf(
            stderr, "%s: interrupted: %lld of %lld frames written to %s; every one is complete%s\n",
            label.c_str(), static_cast<long long>(written), static_cast<long long>(frames.size()),
            delivered.c_str(), video && written > 0 ? " (a playable video of those frames)" : "");
        return 128 + int(interrupted);
    }
    std::fprintf(stderr, "%s: %lld frames written to %s\n", label.c_str(),
                 static_cast<long long>(written), delivered.c_str());
    return 0;
}
