#include "render_parts.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

std::string renderRecordPath(const std::string& folder) {
    return (fs::path(folder) / "quavel1-render.txt").string();
}

bool writeRenderRecord(const std::string& folder, const RenderRecord& r, std::string& error) {
    const std::string path = renderRecordPath(folder);
    // Every part of a split render writes the same record at about the same time: each needs
    // a partial file of its own (the pid alone could repeat across machines sharing the folder).
    const std::string partial = path + "." + std::to_string(getpid()) + "-" +
                                std::to_string(std::random_device{}()) + ".part";
    {
        std::ofstream out(partial);
        out.precision(17);
        out << "fps " << r.fps << "\nfirst " << r.whole.first << "\ncount " << r.whole.count
            << "\nparts " << r.parts << "\nscale " << r.scale << "\n";
        if (!out) {
            error = "cannot write " + partial;
            return false;
        }
    }
    std::error_code ec;
    fs::rename(partial, path, ec);
    if (ec)
        error = "cannot write " + path + ": " + ec.message();
    return !ec;
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
