#include "options.h"

#include <algorithm>
#include <cmath>

#include "cli/command_line.h"
#include "wav_file.h"

const char* const kUsage =
    "usage: xmrender [options] INPUT.xm OUTPUT.wav\n"
    "       xmrender --info INPUT.xm\n"
    "Renders an XM module to a stereo WAV file with the project's module player. OUTPUT may\n"
    "be '-' for standard output, a FIFO or a device: those are written in order, the length\n"
    "worked out first. A regular file appears under its name only when complete.\n"
    "\n"
    "  --rate HZ      output sample rate, 1000..768000 (default 44100)\n"
    "  --pcm16        write 16-bit PCM, clipped (default: 32-bit IEEE float)\n"
    "  --loops N      play the song N times (1..255, default 1); 0 plays for ever and\n"
    "                 needs --seconds\n"
    "  --seconds S    stop after S seconds of output (up to what a WAV file holds: 4 GiB)\n"
    "  --start S      skip the first S seconds of output (0..86400)\n"
    "  --info         print the module's header values and its duration; write nothing\n"
    "  -h, --help     show this help\n"
    "\n"
    "By default the song plays once and the file ends where the song first comes back to\n"
    "rows it has already played. Exit status: 0 done, 1 failed, 2 wrong command line.\n";

namespace {

constexpr double kMaxSeconds = 86400.0;
constexpr double kDefaultCapSeconds = 3600.0;

SampleFormat formatOf(const RenderOptions& o) {
    return o.pcm16 ? SampleFormat::Pcm16 : SampleFormat::Float32;
}

// The checks that need several options together.
std::string checkCombination(const RenderOptions& o, std::size_t positional) {
    if (positional == 0) {
        return "no input module given";
    }
    if (o.info) {
        return positional > 1 ? "--info writes nothing: give only the input module" : "";
    }
    if (positional < 2) {
        return "no output file given";
    }
    if (o.loops == 0 && o.seconds < 0) {
        return "--loops 0 plays for ever: give --seconds too";
    }
    if (o.seconds >= 0) {
        const uint64_t frames = framesOf(o.seconds, o.rate);
        const uint64_t most = wavMaxFrames(formatOf(o));
        if (frames == 0) {
            return "--seconds is less than one frame at " + std::to_string(o.rate) + " Hz";
        }
        if (frames > most) {
            return "--seconds: a WAV file of this format holds at most " +
                   std::to_string(most / o.rate) + " s at " + std::to_string(o.rate) + " Hz";
        }
    }
    return "";
}

} // namespace

uint64_t framesOf(double seconds, uint32_t rate) {
    return static_cast<uint64_t>(std::llround(seconds * rate));
}

uint64_t defaultCapFrames(const RenderOptions& options) {
    return std::min(framesOf(kDefaultCapSeconds, options.rate), wavMaxFrames(formatOf(options)));
}

ParseOutcome parseOptions(int argc, char** argv, RenderOptions* options, std::string* error) {
    cli::Parser parser;
    parser.whole("--rate", &options->rate, 1000, 768000);
    parser.flag("--pcm16", &options->pcm16);
    parser.whole("--loops", &options->loops, 0, 255);
    parser.number("--seconds", &options->seconds, 0.0, kMaxSeconds);
    parser.number("--start", &options->start, 0.0, kMaxSeconds);
    parser.flag("--info", &options->info);
    const cli::Parsed parsed = parser.parse(argc, argv, 2);
    if (parsed.help) {
        return ParseOutcome::Help;
    }
    *error = parsed.error;
    if (parsed.ok()) {
        *error = checkCombination(*options, parsed.positional.size());
    }
    if (!error->empty()) {
        return ParseOutcome::Refused;
    }
    options->input = parsed.positional[0];
    options->output = parsed.positional.size() > 1 ? parsed.positional[1] : "";
    return ParseOutcome::Run;
}
