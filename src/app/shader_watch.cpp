#include "app/shader_watch.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include "files/utf8_path.h"

namespace fs = std::filesystem;

std::optional<std::uint64_t> fileContentsHash(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::uint64_t hash = 0xcbf29ce484222325ull;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i)
            hash = (hash ^ static_cast<unsigned char>(chunk[i])) * 0x100000001b3ull;
        if (!in)
            break;
    }
    return hash;
}

ShaderWatch::ShaderWatch(std::string folder) : folder_(std::move(folder)), seen_(scan()) {}

std::map<std::string, ShaderWatch::Stamp> ShaderWatch::scan() const {
    std::map<std::string, Stamp> stamps;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    std::error_code failed;
    for (fs::directory_iterator it(files::pathFromUtf8(folder_), failed), end; !failed && it != end;
         it.increment(failed)) {
        const fs::path& path = it->path();
        if (path.extension() != ".hlsl" && path.extension() != ".hlsli")
            continue;
        // A file that vanishes between the listing and the look is simply left out.
        std::error_code gone;
        Stamp stamp{fs::last_write_time(path, gone), 0, std::nullopt};
        if (!gone)
            stamp.size = fs::file_size(path, gone);
        if (gone)
            continue;
        // A time ahead of now (a clock set differently) counts as recent too.
        if (now - stamp.written < kCoarseFileTime)
            stamp.contents = fileContentsHash(path);
        stamps[files::utf8Of(path)] = stamp;
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
        if (before == seen_.end()) {
            note(file);
            continue;
        }
        const Stamp& was = before->second;
        // Contents are compared only when both looks read them.
        const bool contentsDiffer =
            stamp.contents && was.contents && *stamp.contents != *was.contents;
        if (stamp.written != was.written || stamp.size != was.size || contentsDiffer)
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
