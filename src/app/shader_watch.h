// The HLSL files of a folder watched by polling, between frames:
//
//     ShaderWatch watch("/src/demo/shaders");
//     if (std::vector<std::string> changed = watch.poll(); !changed.empty()) recompile(changed);
//
// poll() looks at the modification time and size of every .hlsl and .hlsli file (a new file
// and a removed one count as changed) and hands the changes over only once the folder has
// been quiet for kShaderSettle, so an editor that saves in several writes (or truncates
// first) is seen once, complete.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

constexpr std::chrono::milliseconds kShaderSettle{50};

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
        bool operator!=(const Stamp& other) const {
            return written != other.written || size != other.size;
        }
    };
    std::map<std::string, Stamp> scan() const;

    std::string folder_;
    std::map<std::string, Stamp> seen_; // as at the last poll
    std::vector<std::string> pending_;  // changed since the last hand-over
    Clock::time_point lastChange_;
};
