#include "capture_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const kCaptureUsage =
    "usage: quavel1-capture [options] --out PATH\n"
    "Renders the show offline at a fixed frame rate and reads every frame back.\n"
    "  --start S      begin at S seconds of the show, with fresh state (default 0)\n"
    "  --duration S   capture S seconds\n"
    "  --frames N     capture N frames (instead of --duration; default 1)\n"
    "  --fps F        frames per second (default 60)\n"
    "  --out PATH     a folder: numbered PNG files frame_000000.png, ...;\n"
    "                 a path ending in .mp4 or .mkv: a video with the soundtrack (ffmpeg)\n"
    "  --audio PATH   also write the matching stretch of the soundtrack as a WAV file\n"
    "  --help         this text\n";

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

} // namespace

std::int64_t CaptureOptions::frameCount() const {
    if (frames >= 0)
        return frames;
    if (duration >= 0.0)
        return static_cast<std::int64_t>(std::llround(duration * fps));
    return 1;
}

bool CaptureOptions::outIsVideo() const {
    return endsWith(out, ".mp4") || endsWith(out, ".mkv");
}

bool parseCaptureOptions(int argc, char** argv, CaptureOptions& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return true;
        }
        const bool takesValue = arg == "--start" || arg == "--duration" || arg == "--frames" ||
                                arg == "--fps" || arg == "--out" || arg == "--audio";
        if (!takesValue) {
            error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        double number = 0.0;
        if (arg == "--out") {
            o.out = value;
        } else if (arg == "--audio") {
            o.audio = value;
            if (!endsWith(o.audio, ".wav")) {
                error = "--audio needs a path ending in .wav";
                return false;
            }
        } else if (!parseNumber(value, number)) {
            error = arg + " needs a number, not '" + value + "'";
            return false;
        } else if (arg == "--start") {
            if (number < 0.0 || number >= 368.0) {
                error = "--start must lie in 0 .. 368 seconds";
                return false;
            }
            o.start = number;
        } else if (arg == "--duration") {
            if (number <= 0.0) {
                error = "--duration must be positive";
                return false;
            }
            o.duration = number;
        } else if (arg == "--frames") {
            if (number < 1.0 || number != std::floor(number)) {
                error = "--frames must be a whole number of at least 1";
                return false;
            }
            o.frames = static_cast<std::int64_t>(number);
        } else if (arg == "--fps") {
            if (number <= 0.0 || number > 1000.0) {
                error = "--fps must lie in (0, 1000]";
                return false;
            }
            o.fps = number;
        }
    }
    if (o.out.empty()) {
        error = "--out PATH is required";
        return false;
    }
    if (o.frames >= 0 && o.duration >= 0.0) {
        error = "give --duration or --frames, not both";
        return false;
    }
    return true;
}
