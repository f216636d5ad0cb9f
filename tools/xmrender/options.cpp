#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const kUsage =
    "usage: xmrender [options] INPUT.xm OUTPUT.wav\n"
    "       xmrender --info INPUT.xm\n"
    "Renders an XM module to a stereo WAV file with the project's module player.\n"
    "\n"
    "  --rate HZ      output sample rate (default 44100)\n"
    "  --pcm16        write 16-bit PCM, clipped (default: 32-bit IEEE float)\n"
    "  --loops N      play the song N times (1..255, default 1); 0 plays for ever and\n"
    "                 needs --seconds\n"
    "  --seconds S    stop after S seconds of output\n"
    "  --start S      skip the first S seconds of output\n"
    "  --info         print the module's header values and its duration; write nothing\n"
    "  --help         show this help\n"
    "\n"
    "By default the song plays once and the file ends where the song first comes back to\n"
    "rows it has already played.\n";

namespace {

bool parseNumber(const char* text, double* value) {
    errno = 0;
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && std::isfinite(*value);
}

// Reads the value of option `name` (the next argument).
bool takeValue(int argc, char** argv, int* i, const char* name, double* value, std::string* error) {
    if (*i + 1 >= argc) {
        *error = std::string(name) + " needs a value";
        return false;
    }
    ++*i;
    if (!parseNumber(argv[*i], value)) {
        *error = std::string(name) + ": not a number: '" + argv[*i] + "'";
        return false;
    }
    return true;
}

bool isWhole(double v) {
    return v == std::floor(v);
}

} // namespace

bool parseOptions(int argc, char** argv, RenderOptions* options, std::string* error) {
    int positional = 0;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        double value = 0.0;
        if (!endOfOptions && std::strcmp(arg, "--") == 0) {
            endOfOptions = true;
        } else if (!endOfOptions && std::strcmp(arg, "--help") == 0) {
            options->help = true;
            return true;
        } else if (!endOfOptions && std::strcmp(arg, "--pcm16") == 0) {
            options->pcm16 = true;
        } else if (!endOfOptions && std::strcmp(arg, "--info") == 0) {
            options->info = true;
        } else if (!endOfOptions && std::strcmp(arg, "--rate") == 0) {
            if (!takeValue(argc, argv, &i, "--rate", &value, error)) {
                return false;
            }
            if (!isWhole(value) || value < 1000 || value > 768000) {
                *error = "--rate must be a whole number of Hz from 1000 to 768000";
                return false;
            }
            options->rate = static_cast<uint32_t>(value);
        } else if (!endOfOptions && std::strcmp(arg, "--loops") == 0) {
            if (!takeValue(argc, argv, &i, "--loops", &value, error)) {
                return false;
            }
            if (!isWhole(value) || value < 0 || value > 255) {
                *error = "--loops must be a whole number from 0 to 255";
                return false;
            }
            options->loops = static_cast<uint32_t>(value);
        } else if (!endOfOptions && std::strcmp(arg, "--seconds") == 0) {
            if (!takeValue(argc, argv, &i, "--seconds", &value, error)) {
                return false;
            }
            if (value <= 0) {
                *error = "--seconds must be above 0";
                return false;
            }
            options->seconds = value;
        } else if (!endOfOptions && std::strcmp(arg, "--start") == 0) {
            if (!takeValue(argc, argv, &i, "--start", &value, error)) {
                return false;
            }
            if (value < 0) {
                *error = "--start must not be negative";
                return false;
            }
            options->start = value;
        } else if (!endOfOptions && arg[0] == '-' && arg[1] != '\0') {
            *error = std::string("unknown option '") + arg + "'";
            return false;
        } else if (positional == 0) {
            options->input = arg;
            ++positional;
        } else if (positional == 1) {
            options->output = arg;
            ++positional;
        } else {
            *error = std::string("unexpected argument '") + arg + "'";
            return false;
        }
    }
    if (positional == 0) {
        *error = "no input module given";
        return false;
    }
    if (!options->info && positional < 2) {
        *error = "no output file given";
        return false;
    }
    if (options->info && positional > 1) {
        *error = "--info writes nothing: give only the input module";
        return false;
    }
    if (!options->info && options->loops == 0 && options->seconds < 0) {
        *error = "--loops 0 plays for ever: give --seconds too";
        return false;
    }
    return true;
}
