#include "frame_sinks.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/render_folder.h"
#include "files/output_file.h"
#include "video_formats.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace fs = std::filesystem;

namespace {

// stb's writer hands the encoded PNG over in pieces.
struct PngStream {
    std::FILE* file;
    bool ok = true;
};
void appendPng(void* context, void* data, int size) {
    auto* out = static_cast<PngStream*>(context);
    out->ok = out->ok && std::fwrite(data, 1, std::size_t(size), out->file) == std::size_t(size);
}

class PngFolderSink : public FrameSink {
public:
    explicit PngFolderSink(fs::path folder) : folder_(std::move(folder)) {}

    bool write(std::int64_t frame, const std::vector<std::uint8_t>& rgba, std::uint32_t width,
               std::uint32_t height) override {
        files::OutputFile out;
        if (!out.open((folder_ / frameFileName(frame, ".png")).string(), {}, &error_))
            return false;
        PngStream png{out.stream()};
        if (!stbi_write_png_to_func(appendPng, &png, int(width), int(height), 4, rgba.data(),
                                    int(width * 4)) ||
            !png.ok) {
            error_ = out.writeError();
            return false;
        }
        return out.commit(&error_);
    }

    bool finish() override { return true; }

private:
    fs::path folder_;
};

class VideoSink : public FrameSink {
public:
    explicit VideoSink(FILE* pipe) : pipe_(pipe) {}
    ~VideoSink() override { finish(); }

    bool write(std::int64_t, const std::vector<std::uint8_t>& rgba, std::uint32_t,
               std::uint32_t) override {
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

std::unique_ptr<FrameSink> makePngFolderSink(const std::string& folder) {
    return std::make_unique<PngFolderSink>(folder);
}

std::unique_ptr<FrameSink> makeVideoSink(const std::string& path, double fps, std::uint32_t width,
                                         std::uint32_t height, const std::string& soundtrackWav,
                                         std::string& error) {
    const VideoFormat* format = videoFormatFor(path);
    if (!format) {
        error = "a video needs a path ending in " + videoExtensions() + ": " + path;
        return nullptr;
    }
    if (!ffmpegAvailable()) {
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
    std::snprintf(rate, sizeof rate, "%.17g", fps);
    // ffmpeg runs in a session of its own: a Ctrl-C on the terminal reaches only the capture,
    // which ends the video in order instead of ffmpeg cutting it off mid-frame.
    std::string command =
        "setsid -w ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgba -s " +
        std::string(size) + " -r " + rate + " -i -";
    if (!soundtrackWav.empty())
        command += " -i " + shellQuoted(soundtrackWav) + " " + format->audio + " -shortest";
    command += std::string(" ") + format->video + " " + format->muxer + " " + shellQuoted(path);
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe) {
        error = "cannot start ffmpeg";
        return nullptr;
    }
    return std::make_unique<VideoSink>(pipe);
}
