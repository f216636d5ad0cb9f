#include "cli/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace cli {
namespace {

std::string formatNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

std::string rangeText(double min, double max) {
    return "from " + formatNumber(min) + " to " + formatNumber(max);
}

std::string checkNumber(const std::string& text, double min, double max, double* value) {
    if (!parseFinite(text, value)) {
        return "'" + text + "' is not a number";
    }
    if (*value < min || *value > max) {
        return "'" + text + "' is outside the range " + rangeText(min, max);
    }
    return "";
}

} // namespace

bool parseFinite(const std::string& text, double* value) {
    // strtod skips leading spaces; a value with spaces around it is a typing slip, not a number.
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(*value);
}

void Parser::flag(const std::string& name, bool* target) {
    options_.push_back({name, "", Option::None, [target](const std::string&) {
                            *target = true;
                            return std::string();
                        }});
}

void Parser::text(const std::string& name, std::string* target, const std::string& alias) {
    options_.push_back({name, alias, Option::Required, [target](const std::string& value) {
                            *target = value;
                            return std::string();
                        }});
}

void Parser::optionalText(const std::string& name, std::string* target) {
    options_.push_back({name, "", Option::Optional, [target](const std::string& value) {
                            *target = value;
                            return std::string();
                        }});
}

void Parser::custom(const std::string& name, std::function<std::string(const std::string&)> take) {
    options_.push_back({name, "", Option::Required, std::move(take)});
}

void Parser::number(const std::string& name, double* target, double min, double max) {
    addNumber(name, min, max, [target](double v) { *target = v; });
}

void Parser::number(const std::string& name, float* target, double min, double max) {
    addNumber(name, min, max, [target](double v) { *target = static_cast<float>(v); });
}

void Parser::addNumber(const std::string& name, double min, double max,
                       std::function<void(double)> store) {
    options_.push_back({name, "", Option::Required, [=](const std::string& text) {
                            double v = 0;
                            std::string why = checkNumber(text, min, max, &v);
                            if (why.empty()) {
                                store(v);
                            }
                            return why;
                        }});
}

void Parser::addWhole(const std::string& name, long long min, long long max,
                      std::function<void(long long)> store) {
    options_.push_back({name, "", Option::Required, [=](const std::string& text) {
                            double v = 0;
                            std::string why = checkNumber(text, static_cast<double>(min),
                                                          static_cast<double>(max), &v);
                            if (why.empty() && v != std::floor(v)) {
                                why = "'" + text + "' is not a whole number";
                            }
                            if (why.empty()) {
                                store(static_cast<long long>(v));
                            }
                            return why;
                        }});
}

const Parser::Option* Parser::find(const std::string& name) const {
    for (const Option& o : options_) {
        if (o.name == name || (!o.alias.empty() && o.alias == name)) {
            return &o;
        }
    }
    return nullptr;
}

Parsed Parser::parse(int argc, char** argv, std::size_t maxPositional) const {
    Parsed parsed;
    std::string extra;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool looksLikeOption = arg.size() > 1 && arg[0] == '-';
        if (optionsEnded || !looksLikeOption) {
            if (parsed.positional.size() == maxPositional) {
                // Reported at the end, so that a later --help still wins.
                if (extra.empty()) {
                    extra = "unexpected argument '" + arg + "'";
                }
                continue;
            }
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            return parsed;
        }
        const std::size_t equals = arg.find('=');
        const bool inlineValue = arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
        const std::string name = inlineValue ? arg.substr(0, equals) : arg;
        const Option* option = find(name);
        if (option == nullptr) {
            parsed.error = "unknown option '" + name + "'";
            return parsed;
        }
        std::string value;
        const bool nextIsValue = i + 1 < argc && argv[i + 1][0] != '-';
        if (option->value == Option::None) {
            if (inlineValue) {
                parsed.error = option->name + " takes no value";
                return parsed;
            }
        } else if (inlineValue) {
            value = arg.substr(equals + 1);
        } else if (option->value == Option::Optional) {
            if (nextIsValue)
                value = argv[++i];
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            parsed.error = option->name + " needs a value";
            return parsed;
        }
        const std::string why = option->store(value);
        if (!why.empty()) {
            parsed.error = option->name + ": " + why;
            return parsed;
        }
        parsed.given.insert(option->name);
    }
    parsed.error = extra;
    return parsed;
}

std::optional<int> earlyExit(const Parsed& parsed, const char* tool, const char* usage) {
    if (parsed.help) {
        std::fputs(usage, stdout);
        return kExitOk;
    }
    if (!parsed.ok()) {
        return usageError(tool, parsed.error);
    }
    return std::nullopt;
}

int usageError(const char* tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s (see --help)\n", tool, message.c_str());
    return kExitUsage;
}

int failure(const char* tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", tool, message.c_str());
    return kExitFailed;
}

} // namespace cli
