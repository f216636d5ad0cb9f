// Minimal "--name value" option parsing shared by the picture tools.
#pragma once

#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace pictures {

struct CommandLine {
    bool help = false;
    std::map<std::string, std::string> values;
    std::string error;

    std::string get(const std::string& name, const std::string& fallback = "") const {
        auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
    bool has(const std::string& name) const { return values.count(name) != 0; }
};

// Every option takes one value; flags lists the options that take none (stored as "1").
inline CommandLine parseCommandLine(int argc, char** argv, const std::set<std::string>& options,
                                    const std::set<std::string>& flags = {}) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            cl.help = true;
        } else if (flags.count(arg)) {
            cl.values[arg.substr(2)] = "1";
        } else if (options.count(arg)) {
            if (i + 1 >= argc) {
                cl.error = "option " + arg + " needs a value";
                return cl;
            }
            cl.values[arg.substr(2)] = argv[++i];
        } else {
            cl.error = "unknown argument '" + arg + "' (see --help)";
            return cl;
        }
    }
    return cl;
}

// Reads a whole string as a number; false for anything else.
inline bool parseNumber(const std::string& text, float& value) {
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

} // namespace pictures
