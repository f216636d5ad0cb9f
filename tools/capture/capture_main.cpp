// quavel1-capture: plays the show's start-up, graph and frames with the clock taken from a
// fixed frame grid instead of the sound card, and reads every presented frame back. A
// capture that begins after frame 0 first replays the frames before it without drawing them,
// so its frames are those of a continuous run. The work goes in three steps: the plan (every
// output checked and prepared, capture_plan.h), the run (capture_run.h), and the delivery of
// what the run wrote (below).
#include <cstdio>
#include <optional>
#include <string>

#include "capture_options.h"
#include "capture_outputs.h"
#include "capture_plan.h"
#include "capture_run.h"
#include "files/work_file.h"
#include "frame_join.h"
#include "soundtrack_wav.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "quavel1-capture: %s\n", message.c_str());
    return 1;
}

// The video becomes the final file only when complete; an interrupted one keeps the frames
// written under a name that says so. The soundtrack covers exactly the frames written.
int deliver(const CaptureOptions& options, const CapturePlan& plan, CaptureRun run) {
    bool ok = run.error.empty();
    std::string delivered = plan.video ? plan.videoPath : options.out;
    if (plan.video) {
        const std::string work = files::workName(plan.videoPath);
        if (ok && run.written > 0) {
            delivered = run.stopSignal ? interruptedVideoPath(plan.videoPath) : plan.videoPath;
            ok = files::deliverWork(work, delivered, &run.error);
        } else {
            files::abandonWork(work);
        }
    }
    // The stills' soundtrack is their whole stretch.
    const double audioSeconds =
        double(options.stills.empty() ? run.written : plan.range.count) / plan.fps;
    if (ok && !options.audio.empty() && run.written > 0 &&
        !writeSoundtrackWav(options.audio, double(plan.range.first) / plan.fps, audioSeconds,
                            run.error))
        ok = false;
    if (!ok)
        return fail(run.error);
    const auto written = static_cast<long long>(run.written);
    if (run.stopSignal) {
        std::fprintf(
            stderr, "%s: interrupted: %lld of %lld frames written to %s; every one is complete%s\n",
            plan.label.c_str(), written, static_cast<long long>(plan.frames.size()),
            delivered.c_str(),
            plan.video && run.written > 0 ? " (a playable video of those frames)" : "");
        return 128 + run.stopSignal;
    }
    std::fprintf(stderr, "%s: %lld frames written to %s\n", plan.label.c_str(), written,
                 delivered.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    if (std::optional<int> code = parseCaptureOptions(argc, argv, options))
        return *code;
    std::string error;
    if (!options.join.empty())
        return joinRender(options, error) ? 0 : fail(error);
    CapturePlan plan;
    if (std::optional<int> code = planCapture(options, plan))
        return *code;
    return deliver(options, plan, runCapture(options, plan));
}
