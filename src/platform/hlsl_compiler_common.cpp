// What both compilers of platform/hlsl_compiler.h do alike: read the sources and find the
// error to report in their logs.
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "platform/hlsl_compiler.h"

namespace shaderpack {

bool readHlslFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::optional<CompileError> readMainText(const HlslSource& source, std::string& text) {
    if (source.text)
        text = *source.text;
    else if (!readHlslFile(source.path, text))
        return CompileError{source.program, source.path, 0, "cannot read the file"};
    return std::nullopt;
}

CompileError firstCompileError(CompilerLog form, const HlslSource& source, const std::string& log) {
    // Each placed form captures file, line and message; the unplaced form the message.
    struct Forms {
        std::vector<std::regex> placed;
        std::regex unplaced;
    };
    static const std::map<CompilerLog, Forms> forms = {
        {CompilerLog::Glslang,
         {{std::regex(R"(^ERROR: (.*?):([0-9]+): (.*)$)")}, std::regex(R"(^ERROR: (.*)$)")}},
        {CompilerLog::D3DCompile,
         {{std::regex(R"(^(.*)\(([0-9]+)(?:,[0-9-]+)?\): error (.*)$)"),
           std::regex(R"(^(.*):([0-9]+):[0-9]+: (E[0-9]+: .*)$)")},
          std::regex(R"(^(.*(?:error X|E)[0-9]+: .*)$)")}},
    };
    const Forms& f = forms.at(form);
    CompileError error{source.program, source.path, 0, ""};
    std::istringstream lines(log);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (const std::regex& placed : f.placed)
            if (std::regex_match(line, match, placed)) {
                error.file = match[1];
                error.line = unsigned(std::stoul(match[2]));
                error.message = match[3];
                return error;
            }
        if (error.message.empty() && std::regex_match(line, match, f.unplaced))
            error.message = match[1];
    }
    if (error.message.empty())
        error.message = log.empty() ? "the compiler gave no reason" : log;
    return error;
}

} // namespace shaderpack
