// quavel1-tracks: the show's tracks to and from the sync editor's files.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "demo/key_data_writer.h"
#include "demo/show_tracks.h"
#include "show_rocket.h"

namespace {

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
    "  --help          show this help\n";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int main(int argc, char** argv) {
    std::string exportPath, importPath, outputPath = QUAVEL_KEY_DATA_SOURCE;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--export" && hasValue) {
            exportPath = argv[++i];
        } else if (arg == "--import" && hasValue) {
            importPath = argv[++i];
        } else if (arg == "--output" && hasValue) {
            outputPath = argv[++i];
        } else {
            std::fprintf(stderr, "quavel1-tracks: unexpected argument '%s'\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (exportPath.empty() == importPath.empty()) {
        std::fprintf(stderr, "quavel1-tracks: give one of --export and --import\n%s", kUsage);
        return 2;
    }
    try {
        SyncTimeline timeline;
        show::fillTracks(timeline);
        if (!exportPath.empty()) {
            const RocketFile file = show::rocketFromTimeline(timeline);
            show::replaceFile(exportPath, writeRocket(file));
            std::size_t keys = 0;
            for (const auto& track : file.tracks)
                keys += track.keys.size();
            std::printf("wrote %zu tracks, %zu keys, %u rows to %s\n", file.tracks.size(), keys,
                        file.rows, exportPath.c_str());
        } else {
            std::vector<std::string> notes;
            show::timelineFromRocket(readRocket(readFile(importPath)), timeline, notes);
            for (const std::string& note : notes)
                std::fprintf(stderr, "quavel1-tracks: %s\n", note.c_str());
            show::saveKeyData(timeline, outputPath);
            std::printf("wrote the keys of %s to %s\n", importPath.c_str(), outputPath.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quavel1-tracks: %s\n", e.what());
        return 1;
    }
    return 0;
}
