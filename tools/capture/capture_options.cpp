#include "capture_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/demo_app.h"

namespace {

bool endsWith(const std::string& s, const char* suffix) {
    std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

// Each rule takes the option's text; false with `error` set refuses it.
using Rule = bool (*)(CaptureOptions&, const char* value, std::string& error);

struct OptionRow {
    const char* name;
    const char* value; // null: a flag
    const char* help;
    Rule rule;
};

bool number(const char* name, const char* text, double& value, std::string& error) {
    if (parseNumber(text, value))
        return true;
    error = std::string(name) + " needs a number, not '" + text + "'";
    return false;
}

bool takeStart(CaptureOptions& o, const char* v, std::string& e) {
    if (!number("--start", v, o.start, e))
        return false;
    if (o.start < 0.0 || o.start >= kShowLengthSeconds) {
        e = "--start must lie in 0 .. 368 seconds";
        return false;
    }
    return true;
}

bool takeDuration(CaptureOptions& o, const char* v, std::string& e) {
    if (!number("--duration", v, o.duration, e))
        return false;
    if (o.duration <= 0.0) {
        e = "--duration must be positive";
        return false;
    }
    return true;
}

bool takeFrames(CaptureOptions& o, const char* v, std::string& e) {
    double n = 0.0;
    if (!number("--frames", v, n, e))
        return false;
    if (n < 1.0 || n != std::floor(n) || n > 1e9) {
        e = "--frames must be a whole number of at least 1";
        return false;
    }
    o.frames = static_cast<std::int64_t>(n);
    return true;
}

bool takeFps(CaptureOptions& o, const char* v, std::string& e) {
    if (!number("--fps", v, o.fps, e))
        return false;
    if (o.fps <= 0.0 || o.fps > 1000.0) {
        e = "--fps must lie in (0, 1000]";
        return false;
    }
    o.fpsGiven = true;
    return true;
}

bool takeOut(CaptureOptions& o, const char* v, std::string&) {
    o.out = v;
    return true;
}

bool takeAudio(CaptureOptions& o, const char* v, std::string& e) {
    o.audio = v;
    if (endsWith(o.audio, ".wav"))
        return true;
    e = "--audio needs a path ending in .wav";
    return false;
}

bool takePart(CaptureOptions& o, const char* v, std::string& e) {
    int k = 0, n = 0, used = 0;
    if (std::sscanf(v, "%d/%d%n", &k, &n, &used) != 2 || v[used] != '\0' || n < 1 || k < 1 ||
        k > n) {
        e = std::string("--part needs K/N with 1 <= K <= N, not '") + v + "'";
        return false;
    }
    o.part = k;
    o.parts = n;
    return true;
}

bool takeJoin(CaptureOptions& o, const char* v, std::string&) {
    o.join = v;
    return true;
}

bool takeStills(CaptureOptions& o, const char* v, std::string& e) {
    for (const char* at = v;;) {
        char* end = nullptr;
        const double t = std::strtod(at, &end);
        if (end == at || !std::isfinite(t) || t < 0.0 || t >= kShowLengthSeconds ||
            (*end != ',' && *end != '\0')) {
            e = std::string("--stills needs show times in 0 .. 368 s separated by commas, not '") +
                v + "'";
            return false;
        }
        o.stills.push_back(t);
        if (*end == '\0')
            return true;
        at = end + 1;
    }
}

bool takeEdit(CaptureOptions& o, const char* v, std::string&) {
    o.edit = true;
    o.editAddress = v ? v : "";
    return true;
}

bool takeHelp(CaptureOptions& o, const char*, std::string&) {
    o.help = true;
    return true;
}

const OptionRow kOptions[] = {
    {"--start", "S", "begin at the first grid frame at or after S seconds (default 0)", takeStart},
    {"--duration", "S", "capture S seconds", takeDuration},
    {"--frames", "N", "capture N frames (instead of --duration; default 1)", takeFrames},
    {"--fps", "F", "frames per second: grid frame n is at n / F seconds (default 60)", takeFps},
    {"--out", "PATH",
     "a folder of PNGs named by grid index (frame_000480.png: 480 / F s),\n"
     "or a video with the soundtrack: .mkv (lossless FFV1) or .mp4 (H.264)",
     takeOut},
    {"--audio", "PATH", "also write the matching stretch of the soundtrack as a WAV file",
     takeAudio},
    {"--part", "K/N", "render only the K-th of N equal frame ranges of this capture", takePart},
    {"--join", "FOLDER",
     "make the video --out from the frames (or part videos) in FOLDER,\n"
     "with the soundtrack; refuses gaps and frames of another size",
     takeJoin},
    {"--stills", "T1,T2,...",
     "write only the grid frames at or after these show times, in one run\n"
     "(the state between them is replayed once); PNG output",
     takeStills},
    {"--edit", "[HOST:PORT]",
     "take the keys from the sync editor (default localhost:1338): asks for\n"
     "the tracks, waits until the editor is quiet; ignores its pause and row",
     takeEdit},
    {"--help", nullptr, "this text", takeHelp},
};

// A value in brackets may be left out: it is taken only when the next argument is no option.
bool valueIsOptional(const OptionRow& row) {
    return row.value && row.value[0] == '[';
}

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : kOptions)
        if (name == row.name)
            return &row;
    return name == "-h" ? &kOptions[std::size(kOptions) - 1] : nullptr;
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

FrameRange CaptureOptions::wholeRange() const {
    const std::int64_t first = firstGridFrameAtOrAfter(start, fps);
    std::int64_t count = frames >= 0 ? frames : 1;
    if (frames < 0 && duration >= 0.0)
        count = static_cast<std::int64_t>(std::llround(duration * fps));
    const std::int64_t showEnd = gridFramesBefore(kShowLengthSeconds, fps);
    if (first + count > showEnd)
        count = showEnd > first ? showEnd - first : 0;
    return {first, count};
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
    return endsWith(out, ".mp4") || endsWith(out, ".mkv");
}

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const OptionRow* row = findOption(arg);
        if (!row) {
            error = "unknown option " + arg;
            return false;
        }
        const bool valueFollows = i + 1 < argc && argv[i + 1][0] != '-';
        if (row->value && !valueIsOptional(*row) && i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        const bool takesValue = row->value && (!valueIsOptional(*row) || valueFollows);
        if (!row->rule(o, takesValue ? argv[++i] : nullptr, error))
            return false;
        if (o.help)
            return true;
    }
    if (o.out.empty()) {
        error = "--out PATH is required";
        return false;
    }
    if (o.frames >= 0 && o.duration >= 0.0) {
        error = "give --duration or --frames, not both";
        return false;
    }
    if (!o.stills.empty() &&
        (o.outIsVideo() || o.parts > 1 || o.frames >= 0 || o.duration >= 0.0 || o.start != 0.0)) {
        error = "--stills writes PNG frames and takes no --start, --duration, --frames or --part";
        return false;
    }
    if (!o.join.empty() && !o.outIsVideo()) {
        error = "--join needs --out VIDEO ending in .mkv or .mp4";
        return false;
    }
    return true;
}
