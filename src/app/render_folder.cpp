#include "app/render_folder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "files/output_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFramePrefix = "frame_";

} // namespace

std::string frameFileName(std::int64_t frame, const std::string& extension) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%06lld", kFramePrefix, static_cast<long long>(frame));
    return name + extension;
}

bool frameIndexOf(const std::string& name, const std::string& extension, std::int64_t* frame) {
    static const std::regex digits(R"(\d{1,18})");
    const std::size_t prefix = std::char_traits<char>::length(kFramePrefix);
    if (name.size() <= prefix + extension.size() || name.compare(0, prefix, kFramePrefix) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    const std::string number = name.substr(prefix, name.size() - prefix - extension.size());
    if (!std::regex_match(number, digits))
        return false;
    const std::int64_t n = std::stoll(number);
    if (frameFileName(n, extension) != name)
        return false; // frame_12.png or frame_0000012.png: not a name this program writes
    *frame = n;
    return true;
}

std::map<std::int64_t, std::string> frameFilesIn(const std::string& folder,
                                                 const std::string& extension) {
    std::map<std::int64_t, std::string> frames;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::int64_t frame = 0;
        std::error_code notFile;
        if (frameIndexOf(it->path().filename().string(), extension, &frame) &&
            it->is_regular_file(notFile))
            frames[frame] = it->path().string();
    }
    return frames;
}

std::string frameFilePattern(const std::string& extension) {
    return std::string(kFramePrefix) + "%06d" + extension;
}

std::string renderRecordPath(const std::string& folder) {
    return (fs::path(folder) / "quavel1-render.txt").string();
}

bool writeRenderRecord(const std::string& folder, const RenderRecord& r, std::string& error) {
    std::ostringstream text;
    text.precision(17);
    text << "fps " << r.fps << "\nfirst " << r.whole.first << "\ncount " << r.whole.count
         << "\nparts " << r.parts << "\nscale " << r.scale << "\n";
    const std::string bytes = text.str();
    return files::writeWholeFile(renderRecordPath(folder), bytes.data(), bytes.size(), {}, &error);
}

bool readRenderRecord(const std::string& folder, RenderRecord& r) {
    std::ifstream in(renderRecordPath(folder));
    std::string key;
    int seen = 0;
    while (in >> key) {
        if (key == "fps" && in >> r.fps)
            seen |= 1;
        else if (key == "first" && in >> r.whole.first)
            seen |= 2;
        else if (key == "count" && in >> r.whole.count)
            seen |= 4;
        else if (key == "parts" && in >> r.parts)
            seen |= 8;
        else if (key == "scale") // a record without it is of a full-size render
            in >> r.scale;
    }
    return seen == 15 && r.fps > 0.0 && r.parts >= 1 && r.whole.first >= 0 && r.whole.count >= 0;
}

std::string partVideoPath(const std::string& video, int part, int parts) {
    const fs::path p(video);
    const std::string name =
        p.stem().string() + ".part-" + std::to_string(part) + "-of-" + std::to_string(parts);
    return (p.parent_path() / (name + p.extension().string())).string();
}

bool partVideoOf(const std::string& name, int* part, int* parts) {
    static const std::regex partName(R"(.+\.part-(\d+)-of-(\d+)\.(mkv|mp4))", std::regex::icase);
    std::smatch m;
    if (!std::regex_match(name, m, partName))
        return false;
    *part = std::stoi(m[1]);
    *parts = std::stoi(m[2]);
    return true;
}
