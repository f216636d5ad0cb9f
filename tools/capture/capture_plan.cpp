#include "capture_plan.h"

#include <cstdio>
#include <filesystem>

#include "app/demo_app.h"
#include "app/render_folder.h"
#include "capture_outputs.h"
#include "cli/command_line.h"
#include "files/output_file.h"
#include "soundtrack_wav.h"

std::optional<int> planCapture(const CaptureOptions& options, CapturePlan& plan) {
    plan.frames = options.framesToWrite();
    if (plan.frames.empty())
        return cli::usageError("quavel1-capture", "--stills: no still lies before the show's end");
    plan.range = FrameRange{plan.frames.front(), plan.frames.back() + 1 - plan.frames.front()};
    plan.fps = options.fps;
    const bool split = options.parts > 1;
    plan.label = "quavel1-capture part " + std::to_string(options.part) + "/" +
                 std::to_string(options.parts);
    if (const FrameRange asked = options.requestedRange();
        options.stills.empty() && asked.count > options.wholeRange().count)
        std::fprintf(stderr,
                     "%s: note: the show ends at %.0f s; only %lld of the %lld frames asked for "
                     "lie before it, and only those are captured\n",
                     plan.label.c_str(), kShowLengthSeconds,
                     static_cast<long long>(options.wholeRange().count),
                     static_cast<long long>(asked.count));

    // A part video goes beside --out; a whole video gets its soundtrack from a temporary WAV
    // next to it (a part video gets none: the join adds it once).
    plan.video = options.outIsVideo();
    plan.videoPath =
        split && plan.video ? partVideoPath(options.out, options.part, options.parts) : options.out;
    const RenderRecord record{plan.fps, options.wholeRange(), options.parts, options.scale};
    std::string error;
    const auto refuse = [](const std::string& why) { return cli::failure("quavel1-capture", why); };
    // The folder's programs are compiled once the device has started; a folder that is not
    // there is refused first, before any output exists.
    std::error_code notThere;
    if (!options.shaders.empty() && !std::filesystem::is_directory(options.shaders, notThere))
        return refuse("--shaders: '" + options.shaders + "' is not a folder");
    if (!options.audio.empty() && !files::checkOutput(options.audio, {}, &error))
        return refuse("--audio: " + error);
    if (plan.video && !files::checkOutput(plan.videoPath, {}, &error))
        return refuse("--out: " + error);
    if (!plan.video &&
        !prepareFrameFolder(options.out, split ? &record : nullptr, options.overwrite, error))
        return refuse(error);
    if (plan.video && !split) {
        plan.videoSoundtrack = options.out + ".soundtrack.wav";
        if (!writeSoundtrackWav(plan.videoSoundtrack, double(plan.range.first) / plan.fps,
                                double(plan.range.count) / plan.fps, error))
            return refuse(error);
    }
    const std::string folder =
        plan.video ? std::filesystem::absolute(options.out).parent_path().string() : options.out;
    if (split && !writeRenderRecord(folder, record, error))
        return refuse(error);
    return std::nullopt;
}
