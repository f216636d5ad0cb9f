#include "app/shader_watch.h"

#include <algorithm>
#include <utility>

namespace fs = std::filesystem;

ShaderWatch::ShaderWatch(std::string folder) : folder_(std::move(folder)), seen_(scan()) {}

std::map<std::string, ShaderWatch::Stamp> ShaderWatch::scan() const {
    std::map<std::string, Stamp> stamps;
    std::error_code failed;
    for (fs::directory_iterator it(folder_, failed), end; !failed && it != end;
         it.increment(failed)) {
        const fs::path& path = it->path();
        if (path.extension() != ".hlsl" && path.extension() != ".hlsli")
            continue;
        // A file that vanishes between the listing and the look is simply left out.
        std::error_code gone;
        Stamp stamp{fs::last_write_time(path, gone), 0};
        if (!gone)
            stamp.size = fs::file_size(path, gone);
        if (!gone)
            stamps[path.string()] = stamp;
    }
    return stamps;
}

std::vector<std::string> ShaderWatch::poll(Clock::time_point now) {
    std::map<std::string, Stamp> current = scan();
    auto note = [&](const std::string& file) {
        if (std::find(pending_.begin(), pending_.end(), file) == pending_.end())
            pending_.push_back(file);
        lastChange_ = now;
    };
    for (const auto& [file, stamp] : current) {
        auto before = seen_.find(file);
        if (before == seen_.end() || before->second != stamp)
            note(file);
    }
    for (const auto& [file, stamp] : seen_)
        if (current.count(file) == 0)
            note(file);
    seen_ = std::move(current);
    if (pending_.empty() || now - lastChange_ < kShaderSettle)
        return {};
    return std::exchange(pending_, {});
}
