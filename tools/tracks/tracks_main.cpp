// quavel1-tracks: the show's tracks to and from the sync editor's files.
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/command_line.h"
#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"
#include "files/output_file.h"
#include "input_file.h"
#include "show_rocket.h"

namespace {

constexpr const char* kTool = "quavel1-tracks";
const char* const kUsage =
    "usage: quavel1-tracks --export FILE.rocket\n"
    "       quavel1-tracks --import FILE.rocket [--output FILE.cpp]\n"
    "The show's 31 tracks and the sync editor's track files.\n"
    "\n"
    "  --export FILE   write every track and key of the show (as built) as an editor file\n"
    "  --import FILE   read an editor file into the show's key data source; rebuild to make\n"
    "                  it part of the show. Tracks the file lacks keep their keys.\n"
    "  --output FILE   where --import writes (default: the project's\n"
    "                  " QUAVEL_KEY_DATA_SOURCE ")\n"
    "  --help, -h      show this help\n";

// An editor file is a few hundred kilobytes; far more is not one.
constexpr std::uint64_t kMaxRocketBytes = 64u << 20;

} // namespace

int main(int argc, char** argv) {
    std::string exportPath, importPath, outputPath = QUAVEL_KEY_DATA_SOURCE;
    cli::Parser parser;
    parser.text("--export", &exportPath);
    parser.text("--import", &importPath);
    parser.text("--output", &outputPath);
    const cli::Parsed parsed = parser.parse(argc, argv, 0);
    if (std::optional<int> code = cli::earlyExit(parsed, kTool, kUsage))
        return *code;
    if (parsed.has("--export") == parsed.has("--import"))
        return cli::usageError(kTool, "give one of --export and --import");
    if (parsed.has("--output") && !parsed.has("--import"))
        return cli::usageError(kTool, "--output belongs to --import");
    std::string error;
    try {
        SyncTimeline timeline;
        show::fillTracks(timeline);
        if (!exportPath.empty()) {
            const RocketFile file = show::rocketFromTimeline(timeline);
            const std::string text = writeRocket(file);
            if (!files::writeWholeFile(exportPath, text.data(), text.size(), {}, &error))
                return cli::failure(kTool, error);
            std::size_t keys = 0;
            for (const auto& track : file.tracks)
                keys += track.keys.size();
            std::printf("wrote %zu tracks, %zu keys, %u rows to %s\n", file.tracks.size(), keys,
                        file.rows, exportPath.c_str());
        } else {
            std::string text;
            if (!cli::readInputFile(importPath, kMaxRocketBytes, &text, &error))
                return cli::failure(kTool, error);
            std::vector<std::string> notes;
            show::timelineFromRocket(readRocket(text), timeline, notes);
            for (const std::string& note : notes)
                std::fprintf(stderr, "%s: %s\n", kTool, note.c_str());
            show::saveKeyData(timeline, outputPath, {importPath});
            std::printf("wrote the keys of %s to %s\n", importPath.c_str(), outputPath.c_str());
        }
    } catch (const std::exception& e) {
        return cli::failure(kTool, e.what());
    }
    return cli::kExitOk;
}
