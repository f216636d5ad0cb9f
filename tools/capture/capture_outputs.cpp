#include "capture_outputs.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "files/output_file.h"

namespace fs = std::filesystem;

namespace {

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
    const std::map<std::int64_t, std::string> frames = frameFilesIn(folder, ".png");
    if (frames.empty() || (split && sameRender(folder, *split)))
        return true;
    if (!overwrite) {
        error = "--out: the folder '" + folder + "' already holds " +
                std::to_string(frames.size()) +
                " frames of another capture; give another folder or --overwrite";
        return false;
    }
    if (!split)
        for (const auto& [frame, file] : frames)
            fs::remove(file, ec);
    return true;
}

std::string interruptedVideoPath(const std::string& video) {
    const fs::path p(video);
    return (p.parent_path() / (p.stem().string() + ".partial" + p.extension().string())).string();
}
