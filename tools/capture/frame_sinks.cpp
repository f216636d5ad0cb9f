#include "frame_sinks.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

class PngFolderSink : public FrameSink {
public:
    explicit PngFolderSink(fs::path folder) : folder_(std::move(folder)) {}

    bool write(const std::vector<std::uint8_t>& rgba, std::uint32_t width,
               std::uint32_t height) override {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06u.png", index_);
        const fs::path final = folder_ / name;
        const fs::path partial = folder_ / (std::string(name) + ".part");
        if (!stbi_write_png(partial.c_str(), int(width), int(height), 4, rgba.data(),
                            int(width * 4))) {
            error_ = "cannot write " + partial.string();
            return false;
        }
        std::error_code ec;
        fs::rename(partial, final, ec);
        if (ec) {
            error_ = "cannot rename " + partial.string() + ": " + ec.message();
            return false;
        }
        ++index_;
        return true;
    }

    bool finish() override { return true; }

private:
    fs::path folder_;
    std::uint32_t index_ = 0;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class VideoSink : public FrameSink {
public:
    explicit VideoSink(FILE* pipe) : pipe_(pipe) {}
    ~VideoSink() override { finish(); }

    bool write(const std::vector<std::uint8_t>& rgba, std::uint32_t, std::uint32_t) override {
        if (!pipe_ || std::fwrite(rgba.data(), 1, rgba.size(), pipe_) != rgba.size()) {
            error_ = "ffmpeg stopped taking frames";
            return false;
        }
        return true;
    }

    bool finish() override {
        if (!pipe_)
            return error_.empty();
        int status = pclose(pipe_);
        pipe_ = nullptr;
        if (status != 0 && error_.empty())
            error_ = "ffmpeg failed (exit status " + std::to_string(status) + ")";
        return error_.empty();
    }

private:
    FILE* pipe_;
};

} // namespace

std::unique_ptr<FrameSink> makePngFolderSink(const std::string& folder, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder)) {
        error = "cannot create the folder " + folder;
        return nullptr;
    }
    const fs::path probe = fs::path(folder) / ".quavel1-capture-probe";
    if (FILE* f = std::fopen(probe.c_str(), "wb")) {
        std::fclose(f);
        fs::remove(probe, ec);
    } else {
        error = "the folder " + folder + " is not writable";
        return nullptr;
    }
    return std::make_unique<PngFolderSink>(folder);
}

std::unique_ptr<FrameSink> makeVideoSink(const std::string& path, double fps, std::uint32_t width,
                                         std::uint32_t height, const std::string& soundtrackWav,
                                         std::string& error) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
        error = "ffmpeg is needed for video output (Debian package ffmpeg)";
        return nullptr;
    }
    const fs::path parent = fs::absolute(path).parent_path();
    if (!fs::is_directory(parent)) {
        error = "the folder " + parent.string() + " does not exist";
        return nullptr;
    }
    char size[32], rate[32];
    std::snprintf(size, sizeof size, "%ux%u", width, height);
    std::snprintf(rate, sizeof rate, "%.6g", fps);
    // Fragmented MP4 keeps the part written so far playable if the capture is interrupted.
    std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgba -s " +
                          std::string(size) + " -r " + rate + " -i -";
    if (!soundtrackWav.empty())
        command += " -i " + quoted(soundtrackWav) + " -c:a aac -b:a 192k -shortest";
    command += " -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p";
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".mp4") == 0)
        command += " -movflags +frag_keyframe+empty_moov";
    command += " " + quoted(path);
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe) {
        error = "cannot start ffmpeg";
        return nullptr;
    }
    return std::make_unique<VideoSink>(pipe);
}
