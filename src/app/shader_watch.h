// The HLSL files of a folder watched by polling, between frames:
//
//     ShaderWatch watch("/src/demo/shaders");
//     if (std::vector<std::string> changed = watch.poll(); !changed.empty()) recompile(changed);
//
// poll() looks at the modification time and size of every .hlsl and .hlsli file (a new file
// and a removed one count as changed) and hands the changes over only once the folder has
// been quiet for kShaderSettle, so an editor that saves in several writes (or truncates
// first) is seen once, complete.
//
// A time says little while it is recent: the C runtime on Windows reads it to the second, and
// other file systems round it too, so a save of the same size within that step keeps both time
// and size. A file whose time lies within kCoarseFileTime of now is therefore also compared by
// its contents (a hash). Older files cannot be hiding such a save: any write since would have
// given them a time near now.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

constexpr std::chrono::milliseconds kShaderSettle{50};
constexpr std::chrono::seconds kCoarseFileTime{3};

class ShaderWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit ShaderWatch(std::string folder);

    // The files changed since the last hand-over, once quiet for kShaderSettle; else none.
    std::vector<std::string> poll(Clock::time_point now = Clock::now());

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        std::optional<std::uint64_t> contents; // a hash, read while `written` is recent
    };
    std::map<std::string, Stamp> scan() const;

    std::string folder_;
    std::map<std::string, Stamp> seen_; // as at the last poll
    std::vector<std::string> pending_;  // changed since the last hand-over
    Clock::time_point lastChange_;
};

// FNV-1a of a file's bytes; nullopt when it cannot be read.
std::optional<std::uint64_t> fileContentsHash(const std::filesystem::path& path);
