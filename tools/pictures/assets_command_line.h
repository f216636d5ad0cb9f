// The command line shared by the picture tools that draw into the assets folder: --assets DIR
// (required) and --font FILE (the default font when absent), beside the tool's own options.
//
//   cli::Parser parser;
//   parser.text("--text", &text); // the tool's own
//   std::string assets, fontPath;
//   if (auto code = parseAssetsCommandLine(parser, argc, argv, kTool, usage, &assets, &fontPath))
//       return *code;
#pragma once

#include "cli/command_line.h"
#include "font_renderer.h"

#include <optional>
#include <string>

namespace pictures {

// Returns the exit code when the tool should stop now (help, a refused command line, no
// --assets); otherwise nothing, with both paths set.
inline std::optional<int> parseAssetsCommandLine(cli::Parser& parser, int argc, char** argv,
                                                 const char* tool, const char* usage,
                                                 std::string* assets, std::string* fontPath) {
    *fontPath = defaultFontPath();
    parser.text("--assets", assets);
    parser.text("--font", fontPath);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, tool, usage)) {
        return code;
    }
    if (assets->empty()) {
        return cli::usageError(tool, "no output folder given (--assets DIR)");
    }
    return std::nullopt;
}

} // namespace pictures
