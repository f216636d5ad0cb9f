// quavel-composer: writes the show's soundtrack as an XM module file.
#include "composer.h"

#include <cstdio>
#include <exception>
#include <string>

#include "cli/command_line.h"
#include "files/output_file.h"

namespace {

constexpr const char* kTool = "quavel-composer";

const char* const kUsage =
    "usage: quavel-composer --output FILE\n"
    "\n"
    "Composes the quavel1 soundtrack (368 s, XM 0x0104, speed 3 at 255 BPM) and writes\n"
    "it to FILE ('-' for standard output). The output is the same, byte for byte, on every\n"
    "run. Exit status: 0 done, 1 failed, 2 wrong command line.\n"
    "\n"
    "  -o, --output FILE  where to write the module\n"
    "  -h, --help         show this help\n";

} // namespace

int main(int argc, char** argv) {
    std::string output;
    cli::Parser parser;
    parser.text("--output", &output, "-o");
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, kUsage)) {
        return *code;
    }
    if (output.empty()) {
        return cli::usageError(kTool, "no output file given");
    }
    std::string error;
    files::OutputFile file;
    if (!file.open(output, {}, &error)) {
        return cli::failure(kTool, error);
    }
    try {
        const std::vector<uint8_t> bytes = composer::composeSoundtrackBytes();
        if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
            return cli::failure(kTool, file.writeError());
        }
    } catch (const std::exception& e) {
        return cli::failure(kTool, e.what());
    }
    return file.commit(&error) ? cli::kExitOk : cli::failure(kTool, error);
}
