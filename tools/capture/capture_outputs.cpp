#include "capture_outputs.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "files/output_file.h"

namespace fs = std::filesystem;

namespace {

// The frame files (frame_NNNNNN.png) in a folder.
std::vector<fs::path> framesIn(const fs::path& folder) {
    std::vector<fs::path> frames;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        std::int64_t frame = 0;
        if (frameIndexOf(e.path().filename().string(), ".png", &frame))
            frames.push_back(e.path());
    }
    return frames;
}

bool sameRender(const std::string& folder, const RenderRecord& mine) {
    RenderRecord there;
    return readRenderRecord(folder, there) && there == mine;
}

} // namespace

bool prepareFrameFolder(const std::string& folder, const RenderRecord* split, bool overwrite,
                        std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        error = "--out: cannot make the folder '" + folder + "'" +
                (ec ? ": " + ec.message() : std::string(": a file of that name is in the way"));
        return false;
    }
    if (!files::checkFolder(folder, &error)) {
        error = "--out: " + error;
        return false;
    }
    const std::vector<fs::path> frames = framesIn(folder);
    if (frames.empty() || (split && sameRender(folder, *split)))
        return true;
    if (!overwrite) {
        error = "--out: the folder '" + folder + "' already holds " +
                std::to_string(frames.size()) +
                " frames of another capture; give another folder or --overwrite";
        return false;
    }
    if (!split)
        for (const fs::path& f : frames)
            fs::remove(f, ec);
    return true;
}

std::string interruptedVideoPath(const std::string& video) {
    const fs::path p(video);
    return (p.parent_path() / (p.stem().string() + ".partial" + p.extension().string())).string();
}
