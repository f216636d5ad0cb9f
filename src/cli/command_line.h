// The command line of every tool: options declared once with their type and range, parsed
// strictly, and refused with one line that names the option and the reason.
//
//   cli::Parser parser;
//   parser.flag("--pcm16", &pcm16);
//   parser.whole("--rate", &rate, 1000, 768000);
//   parser.number("--seconds", &seconds, 0.001, 86400);
//   parser.text("--font", &fontPath);
//   parser.optionalText("--edit", &address);       // "--edit" alone, or with HOST:PORT
//   parser.custom("--part", [&](const std::string& v) { return takePart(v); });
//   cli::Parsed parsed = parser.parse(argc, argv, 2); // at most two plain arguments
//   if (std::optional<int> code = cli::earlyExit(parsed, "tool", usage)) return *code;
//   parsed.positional holds the plain arguments.
//
// Values go as "--name value" or "--name=value"; "-h" and "--help" ask for the usage text;
// "--" ends the options. Numbers must be finite and whole where whole numbers are meant. An
// optional value is taken from "--name=value", or from the next argument when that is no
// option ("--edit localhost:1338"); "--name" alone leaves it empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

// Exit codes shared by every tool.
constexpr int kExitOk = 0;     // the work was done
constexpr int kExitFailed = 1; // the work failed (unreadable input, unwritable output, ...)
constexpr int kExitUsage = 2;  // the command line was wrong

struct Parsed {
    bool help = false;
    std::string error; // empty when the command line is good
    std::vector<std::string> positional;
    std::set<std::string> given; // the options that appeared

    bool ok() const { return error.empty(); }
    bool has(const std::string& name) const { return given.count(name) != 0; }
};

class Parser {
public:
    // An option without a value.
    void flag(const std::string& name, bool* target);
    // Any text value (a path, a word), also accepted under a second, short name such as "-o".
    void text(const std::string& name, std::string* target, const std::string& alias = "");
    // A text value that may be left out (then empty).
    void optionalText(const std::string& name, std::string* target);
    // A value that `take` checks and stores; it returns why the value is refused, or "".
    void custom(const std::string& name, std::function<std::string(const std::string&)> take);
    // A finite number within [min, max].
    void number(const std::string& name, double* target, double min, double max);
    void number(const std::string& name, float* target, double min, double max);
    // A whole number within [min, max].
    template <typename Int>
    void whole(const std::string& name, Int* target, long long min, long long max) {
        addWhole(name, min, max, [target](long long v) { *target = static_cast<Int>(v); });
    }

    // More than maxPositional plain arguments is a usage error.
    Parsed parse(int argc, char** argv, std::size_t maxPositional = SIZE_MAX) const;

private:
    struct Option {
        std::string name;
        std::string alias;
        enum Value { None, Required, Optional } value = Required;
        // Checks and stores a value; returns the reason when it is refused.
        std::function<std::string(const std::string&)> store;
    };
    void addNumber(const std::string& name, double min, double max,
                   std::function<void(double)> store);
    void addWhole(const std::string& name, long long min, long long max,
                  std::function<void(long long)> store);
    const Option* find(const std::string& name) const;

    std::vector<Option> options_;
};

// Reads a whole string as a finite number; false for anything else ("", "1x", "nan", "inf").
bool parseFinite(const std::string& text, double* value);

// For a request for help: the usage text on stdout and kExitOk; for a refused command line:
// usageError. Otherwise nothing: the tool goes on.
std::optional<int> earlyExit(const Parsed& parsed, const char* tool, const char* usage);

// "tool: message (see --help)" on stderr; returns kExitUsage.
int usageError(const char* tool, const std::string& message);
// "tool: message" on stderr; returns kExitFailed.
int failure(const char* tool, const std::string& message);

} // namespace cli
