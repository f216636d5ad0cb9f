// quavel-composer: writes the show's soundtrack as an XM module file.
#include "composer.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

void printHelp() {
    std::puts("usage: quavel-composer --output FILE\n"
              "\n"
              "Composes the quavel1 soundtrack (368 s, XM 0x0104, speed 3 at 255 BPM) and writes\n"
              "it to FILE. The output is the same, byte for byte, on every run.\n"
              "\n"
              "  -o, --output FILE  where to write the module\n"
              "  -h, --help         show this help");
}

} // namespace

int main(int argc, char** argv) {
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printHelp();
            return 0;
        }
        if ((arg == "-o" || arg == "--output") && i + 1 < argc) {
            output = argv[++i];
            continue;
        }
        std::fprintf(stderr, "quavel-composer: unexpected argument '%s' (try --help)\n",
                     arg.c_str());
        return 2;
    }
    if (output.empty()) {
        std::fprintf(stderr, "quavel-composer: no output file given (try --help)\n");
        return 2;
    }
    try {
        const std::vector<uint8_t> bytes = composer::composeSoundtrackBytes();
        FILE* f = std::fopen(output.c_str(), "wb");
        if (!f) {
            std::fprintf(stderr, "quavel-composer: cannot open '%s': %s\n", output.c_str(),
                         std::strerror(errno));
            return 1;
        }
        const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
        if (std::fclose(f) != 0 || written != bytes.size()) {
            std::fprintf(stderr, "quavel-composer: cannot write '%s'\n", output.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quavel-composer: %s\n", e.what());
        return 1;
    }
    return 0;
}
