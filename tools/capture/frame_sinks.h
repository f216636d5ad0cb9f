// Where captured frames go: numbered PNG files in a folder, or a video encoded by ffmpeg
// through a pipe. Each frame is complete on disk before the next one starts, so an interrupted
// capture leaves the frames written so far usable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // `frame` is the grid index (it names a PNG file; a video takes frames in order).
    virtual bool write(std::int64_t frame, const std::vector<std::uint8_t>& rgba,
                       std::uint32_t width, std::uint32_t height) = 0;
    // Flushes and closes; returns false when the output is incomplete.
    virtual bool finish() = 0;
    const std::string& error() const { return error_; }

protected:
    std::string error_;
};

// PNG files named by grid index (render_folder.h), each written as every output is
// (files/output_file.h), into a folder prepared for them (prepareFrameFolder).
std::unique_ptr<FrameSink> makePngFolderSink(const std::string& folder);

// ffmpeg reading raw RGBA frames from a pipe, encoding as the extension says
// (video_formats.h); `soundtrackWav` (may be empty) is muxed in.
std::unique_ptr<FrameSink> makeVideoSink(const std::string& path, double fps, std::uint32_t width,
                                         std::uint32_t height, const std::string& soundtrackWav,
                                         std::string& error);
