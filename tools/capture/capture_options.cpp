#include "capture_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/demo_app.h"
#include "cli/command_line.h"
#include "video_formats.h"

namespace {

constexpr const char* kTool = "quavel1-capture";

// Each row declares its option to the shared parser; the usage text comes from the same rows.
using Declare = void (*)(cli::Parser&, CaptureOptions&);

struct OptionRow {
    const char* name;
    const char* value; // null: a flag
    const char* help;
    Declare declare;
};

std::string takePart(const std::string& text, CaptureOptions& o);
std::string takeStills(const std::string& text, CaptureOptions& o);

const OptionRow kOptions[] = {
    {"--start", "S", "begin at the first grid frame at or after S seconds (default 0)",
     [](cli::Parser& p, CaptureOptions& o) {
         p.number("--start", &o.start, 0.0, kShowLengthSeconds);
     }},
    {"--duration", "S", "capture S seconds",
     [](cli::Parser& p, CaptureOptions& o) {
         p.number("--duration", &o.duration, 0.0, kShowLengthSeconds);
     }},
    {"--frames", "N", "capture N frames (instead of --duration; default 1)",
     [](cli::Parser& p, CaptureOptions& o) { p.whole("--frames", &o.frames, 1, 1000000); }},
    {"--fps", "F", "frames per second: grid frame n is at n / F seconds (default 60)",
     [](cli::Parser& p, CaptureOptions& o) { p.number("--fps", &o.fps, 0.001, 1000.0); }},
    {"--out", "PATH",
     "a folder of PNGs named by grid index (frame_000480.png: 480 / F s),\n"
     "or a video with the soundtrack: .mkv (lossless FFV1) or .mp4 (H.264)",
     [](cli::Parser& p, CaptureOptions& o) { p.text("--out", &o.out); }},
    {"--audio", "PATH", "also write the matching stretch of the soundtrack as a WAV file",
     [](cli::Parser& p, CaptureOptions& o) { p.text("--audio", &o.audio); }},
    {"--part", "K/N", "render only the K-th of N equal frame ranges of this capture",
     [](cli::Parser& p, CaptureOptions& o) {
         p.custom("--part", [&o](const std::string& v) { return takePart(v, o); });
     }},
    {"--join", "FOLDER",
     "make the video --out from the frames (or part videos) in FOLDER,\n"
     "with the soundtrack; refuses gaps and frames of another size",
     [](cli::Parser& p, CaptureOptions& o) { p.text("--join", &o.join); }},
    {"--stills", "T1,T2,...",
     "write only the grid frames at or after these show times, in one run\n"
     "(the state between them is replayed once); PNG output",
     [](cli::Parser& p, CaptureOptions& o) {
         p.custom("--stills", [&o](const std::string& v) { return takeStills(v, o); });
     }},
    {"--edit", "[HOST:PORT]",
     "take the keys from the sync editor (default localhost:1338): asks for\n"
     "the tracks, waits until the editor is quiet; ignores its pause and row",
     [](cli::Parser& p, CaptureOptions& o) { p.optionalText("--edit", &o.editAddress); }},
    {"--shaders", "DIR",
     "compile the show's shader programs from the HLSL files in DIR (a copy\n"
     "of src/demo/shaders) at start-up; a program that does not compile\n"
     "stops the capture with the compiler's message",
     [](cli::Parser& p, CaptureOptions& o) { p.text("--shaders", &o.shaders); }},
    {"--scale", "F",
     "quick look: draw every picture at F (0 < F <= 1) of its size; 0.5 gives\n"
     "800 x 450 frames for a quarter of the CPU time, 0.25 400 x 225 for a\n"
     "sixteenth. An approximation of the show (dither, one-pixel particles\n"
     "and thin lines differ), not the show itself",
     [](cli::Parser& p, CaptureOptions& o) { p.number("--scale", &o.scale, 0.0, 1.0); }},
    {"--overwrite", nullptr,
     "write into a --out folder that holds the frames of another capture\n"
     "(they are removed first; a part of a split render removes none)",
     [](cli::Parser& p, CaptureOptions& o) { p.flag("--overwrite", &o.overwrite); }},
    {"--help", nullptr, "this text (also -h)", nullptr},
};

// K/N with 1 <= K <= N, both whole.
std::string takePart(const std::string& text, CaptureOptions& o) {
    const std::size_t slash = text.find('/');
    double k = 0, n = 0;
    if (slash == std::string::npos || !cli::parseFinite(text.substr(0, slash), &k) ||
        !cli::parseFinite(text.substr(slash + 1), &n) || k != std::floor(k) || n != std::floor(n) ||
        n < 1 || n > 100000 || k < 1 || k > n)
        return "'" + text + "' is not K/N with whole numbers 1 <= K <= N <= 100000";
    o.part = int(k);
    o.parts = int(n);
    return "";
}

std::string takeStills(const std::string& text, CaptureOptions& o) {
    o.stills.clear();
    for (std::size_t at = 0;;) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, comma - at);
        double t = 0;
        if (!cli::parseFinite(item, &t) || t < 0.0 || t >= kShowLengthSeconds)
            return "'" + item + "' is not a show time from 0 to below 368 s";
        o.stills.push_back(t);
        if (comma == text.size())
            return "";
        at = comma + 1;
    }
}

// The extension of the last path element, lower-case, with its dot ("" when there is none).
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot + 1 == path.size() || dot == (slash == std::string::npos ? 0 : slash + 1))
        return "";
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string shortNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

// Checks between options, after each has passed its own rule.
std::string crossCheck(const cli::Parsed& parsed, CaptureOptions& o) {
    if (o.out.empty())
        return "--out PATH is required";
    if (parsed.has("--frames") && parsed.has("--duration"))
        return "give --duration or --frames, not both";
    const bool video = o.outIsVideo();
    const std::string ext = extensionOf(o.out);
    std::error_code ec;
    if (!video && !ext.empty() && !std::filesystem::is_directory(o.out, ec))
        return "--out: '" + o.out + "' names a file of type " + ext + "; videos are written as " +
               videoExtensions() + ", PNG frames into a folder (give a name without extension)";
    if (!o.audio.empty() && extensionOf(o.audio) != ".wav")
        return "--audio: '" + o.audio + "' does not end in .wav";
    if (parsed.has("--duration") && std::llround(o.duration * o.fps) < 1)
        return "--duration: " + shortNumber(o.duration) + " s is less than one frame at " +
               shortNumber(o.fps) + " fps";
    if (!o.stills.empty() && (video || o.parts > 1 || parsed.has("--frames") ||
                              parsed.has("--duration") || parsed.has("--start")))
        return "--stills writes PNG frames and takes no --start, --duration, --frames or --part";
    if (!o.join.empty() && !video)
        return "--join needs --out VIDEO ending in " + videoExtensions();
    if (parsed.has("--scale") && o.scale <= 0.0)
        return "--scale: " + shortNumber(o.scale) +
               " is no size; give a fraction above 0, at most 1 (e.g. 0.5)";
    if (!o.join.empty() && parsed.has("--scale"))
        return "--scale belongs to rendering; --join takes the frames at the size they have";
    if (parsed.has("--shaders") && o.shaders.empty())
        return "--shaders needs a folder; without it the linked programs are used";
    if (!o.join.empty() && parsed.has("--shaders"))
        return "--shaders belongs to rendering; --join takes frames already drawn";
    if (o.join.empty() && o.stills.empty() && o.wholeRange().count == 0)
        return "--start: " + shortNumber(o.start) + " s is past the last frame of the show at " +
               shortNumber(o.fps) + " fps; nothing to capture";
    return "";
}

} // namespace

std::string captureUsage() {
    constexpr std::size_t kHelpColumn = 22;
    std::string text = "usage: quavel1-capture [options] --out PATH\n"
                       "       quavel1-capture --join FOLDER --out VIDEO [--fps F]\n"
                       "Renders the show offline on a fixed frame grid and reads every frame "
                       "back.\nState that builds up frame by frame is replayed from frame 0, so "
                       "any range gives\nthe frames of a continuous run.\n";
    for (const OptionRow& row : kOptions) {
        std::string head =
            std::string("  ") + row.name + (row.value ? " " : "") + (row.value ? row.value : "");
        head.resize(std::max<std::size_t>(head.size() + 1, kHelpColumn), ' ');
        std::string help = row.help;
        for (std::size_t at = 0; (at = help.find('\n', at)) != std::string::npos;
             at += kHelpColumn + 1)
            help.insert(at + 1, std::string(kHelpColumn, ' '));
        text += head + help + "\n";
    }
    return text;
}

FrameRange CaptureOptions::requestedRange() const {
    std::int64_t count = frames >= 0 ? frames : 1;
    if (frames < 0 && duration >= 0.0)
        count = static_cast<std::int64_t>(std::llround(duration * fps));
    return {firstGridFrameAtOrAfter(start, fps), count};
}

FrameRange CaptureOptions::wholeRange() const {
    const FrameRange asked = requestedRange();
    const std::int64_t showEnd = gridFramesBefore(kShowLengthSeconds, fps);
    return {asked.first, std::max<std::int64_t>(0, std::min(asked.end(), showEnd) - asked.first)};
}

std::vector<std::int64_t> CaptureOptions::framesToWrite() const {
    std::vector<std::int64_t> frames;
    if (stills.empty()) {
        const FrameRange r = partRange();
        for (std::int64_t n = r.first; n < r.end(); ++n)
            frames.push_back(n);
        return frames;
    }
    for (double t : stills)
        frames.push_back(firstGridFrameAtOrAfter(t, fps));
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    while (!frames.empty() && frames.back() >= gridFramesBefore(kShowLengthSeconds, fps))
        frames.pop_back();
    return frames;
}

bool CaptureOptions::outIsVideo() const {
    return videoFormatFor(out) != nullptr;
}

std::optional<int> parseCaptureOptions(int argc, char** argv, CaptureOptions& o) {
    cli::Parser parser;
    for (const OptionRow& row : kOptions)
        if (row.declare)
            row.declare(parser, o);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    const std::string usage = captureUsage();
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, usage.c_str()))
        return code;
    o.fpsGiven = parsed.has("--fps");
    o.edit = parsed.has("--edit");
    const std::string why = crossCheck(parsed, o);
    if (!why.empty())
        return cli::usageError(kTool, why);
    return std::nullopt;
}
