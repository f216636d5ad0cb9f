#include "frame_join.h"

#include "capture_outputs.h"
#include "files/output_file.h"
#include "files/work_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include <stb/stb_image.h>

#include "app/render_folder.h"
#include "frame_sinks.h"
#include "soundtrack_wav.h"
#include "video_formats.h"

namespace fs = std::filesystem;

namespace {

// "480-719, 1000": runs of consecutive grid indices.
std::string runsText(const std::vector<std::int64_t>& frames, std::size_t most = 8) {
    std::string text;
    std::size_t runs = 0;
    for (std::size_t i = 0; i < frames.size();) {
        std::size_t j = i;
        while (j + 1 < frames.size() && frames[j + 1] == frames[j] + 1)
            ++j;
        if (runs++ == most) {
            text += ", ...";
            break;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(frames[i]) +
                (j > i ? "-" + std::to_string(frames[j]) : "");
        i = j + 1;
    }
    return text;
}

// The parts of `record` that lack any of `missing`, as "3/8 (frames 480-719)".
std::string missingParts(const RenderRecord& record, const std::set<std::int64_t>& missing) {
    std::string text;
    for (int k = 1; k <= record.parts; ++k) {
        const FrameRange r = partOf(record.whole, k, record.parts);
        auto it = missing.lower_bound(r.first);
        if (r.count > 0 && it != missing.end() && *it < r.end())
            text += (text.empty() ? "" : ", ") + std::to_string(k) + "/" +
                    std::to_string(record.parts) + " (frames " + std::to_string(r.first) + "-" +
                    std::to_string(r.end() - 1) + ")";
    }
    return text;
}

bool runFfmpeg(const std::string& arguments, std::string& error) {
    const std::string command = "ffmpeg -hide_banner -loglevel error -y " + arguments;
    if (std::system(command.c_str()) == 0)
        return true;
    error = "ffmpeg failed: " + command;
    return false;
}

// Encodes the soundtrack of `range` beside `out` and muxes it in with `inputs`.
bool encodeWithSoundtrack(const std::string& inputs, const std::string& videoArgs,
                          const VideoFormat& format, FrameRange range, double fps,
                          const std::string& out, std::string& error) {
    const std::string wav = out + ".soundtrack.wav";
    if (!writeSoundtrackWav(wav, range.first / fps, range.count / fps, error))
        return false;
    const bool ok =
        runFfmpeg(inputs + " -i " + shellQuoted(wav) + " -map 0:v -map 1:a " + videoArgs + " " +
                      format.audio + " " + format.file + " " + shellQuoted(out),
                  error);
    fs::remove(wav);
    return ok;
}

bool joinFrames(const std::string& folder, const std::set<std::int64_t>& present,
                const RenderRecord* record, double fps, const VideoFormat& format,
                const std::string& out, std::string& error) {
    // The recorded render's range; frames of other captures sharing the folder are left out.
    std::int64_t first = *present.begin(), last = *present.rbegin();
    if (record && record->whole.count > 0) {
        first = record->whole.first;
        last = record->whole.end() - 1;
        const auto inside = std::distance(present.lower_bound(first), present.upper_bound(last));
        if (std::size_t(inside) < present.size())
            std::fprintf(stderr,
                         "join: %zu frames outside the recorded grid frames %lld-%lld "
                         "are left out\n",
                         present.size() - std::size_t(inside), static_cast<long long>(first),
                         static_cast<long long>(last));
    }
    std::set<std::int64_t> missing;
    for (std::int64_t n = first; n <= last; ++n)
        if (!present.count(n))
            missing.insert(n);
    if (!missing.empty()) {
        error = std::to_string(missing.size()) + " frames are missing from " + folder +
                " (grid frames " +
                runsText(std::vector<std::int64_t>(missing.begin(), missing.end())) + ")";
        if (record)
            error += "; parts not complete: " + missingParts(*record, missing);
        return false;
    }

    // Every frame must have the first frame's size.
    int width = 0, height = 0;
    std::vector<std::int64_t> odd;
    std::string oddSize;
    for (auto it = present.lower_bound(first); it != present.upper_bound(last); ++it) {
        const std::int64_t n = *it;
        const std::string path = (fs::path(folder) / frameFileName(n, ".png")).string();
        int w = 0, h = 0, channels = 0;
        if (!stbi_info(path.c_str(), &w, &h, &channels)) {
            error = path + " is not a readable PNG";
            return false;
        }
        if (width == 0) {
            width = w;
            height = h;
        } else if (w != width || h != height) {
            odd.push_back(n);
            oddSize = std::to_string(w) + "x" + std::to_string(h);
        }
    }
    if (!odd.empty()) {
        error = std::to_string(odd.size()) + " frames differ in size from the " +
                std::to_string(width) + "x" + std::to_string(height) + " of " +
                frameFileName(first, ".png") + ": grid frames " + runsText(odd) + " (e.g. " +
                oddSize + ")";
        return false;
    }

    const FrameRange range{first, last - first + 1};
    std::fprintf(stderr, "join: %lld frames (grid %lld-%lld) at %.6g fps -> %s\n",
                 static_cast<long long>(range.count), static_cast<long long>(first),
                 static_cast<long long>(last), fps, out.c_str());
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.17g", fps);
    const std::string inputs = std::string("-framerate ") + rate + " -start_number " +
                               std::to_string(first) + " -i " +
                               shellQuoted((fs::path(folder) / frameFilePattern(".png")).string());
    return encodeWithSoundtrack(inputs, format.video, format, range, fps, out, error);
}

bool joinPartVideos(const std::string& folder, const std::map<int, fs::path>& videos, int parts,
                    const RenderRecord* record, double fps, const VideoFormat& format,
                    const std::string& out, std::string& error) {
    if (!record) {
        error = "the part videos in " + folder + " have no " + renderRecordPath(folder);
        return false;
    }
    std::string absent;
    for (int k = 1; k <= parts; ++k)
        if (!videos.count(k) && partOf(record->whole, k, parts).count > 0)
            absent +=
                (absent.empty() ? "" : ", ") + std::to_string(k) + "/" + std::to_string(parts);
    if (!absent.empty()) {
        error = "parts missing from " + folder + ": " + absent;
        return false;
    }
    for (const auto& [k, path] : videos)
        if (videoFormatFor(path.string()) != videoFormatFor(out)) {
            error = "part videos are " + path.extension().string() +
                    " files; join them into a video of the same kind";
            return false;
        }
    const std::string list = out + ".parts.txt";
    {
        std::ofstream file(list);
        for (const auto& [k, path] : videos)
            file << "file " << shellQuoted(fs::absolute(path).string()) << "\n";
    }
    std::fprintf(stderr, "join: %d part videos at %.6g fps, copied without re-encoding -> %s\n",
                 parts, fps, out.c_str());
    const bool ok = encodeWithSoundtrack("-f concat -safe 0 -i " + shellQuoted(list), "-c:v copy",
                                         format, record->whole, fps, out, error);
    fs::remove(list);
    return ok;
}

} // namespace

namespace {

bool joinInto(const CaptureOptions& o, const std::string& out, std::string& error) {
    const std::string& folder = o.join;
    if (!fs::is_directory(folder)) {
        error = "--join: " + folder + " is not a folder";
        return false;
    }
    const VideoFormat* format = videoFormatFor(o.out);
    if (!format || !ffmpegAvailable()) {
        error = format ? "ffmpeg is needed to join (Debian package ffmpeg)"
                       : "--join needs --out VIDEO ending in .mkv or .mp4";
        return false;
    }
    RenderRecord record;
    const bool recorded = readRenderRecord(folder, record);
    if (recorded && o.fpsGiven && std::fabs(record.fps - o.fps) > 1e-9 * o.fps) {
        char text[128];
        std::snprintf(text, sizeof text, " was rendered at %.6g fps, not %.6g", record.fps, o.fps);
        error = folder + text;
        return false;
    }
    const double fps = o.fpsGiven ? o.fps : recorded ? record.fps : 60.0;

    std::set<std::int64_t> frames;
    for (const auto& [frame, file] : frameFilesIn(folder, ".png"))
        frames.insert(frame);
    std::map<int, fs::path> videos;
    int parts = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
        int part = 0;
        if (partVideoOf(e.path().filename().string(), &part, &parts))
            videos[part] = e.path();
    }
    const RenderRecord* r = recorded ? &record : nullptr;
    if (!frames.empty())
        return joinFrames(folder, frames, r, fps, *format, out, error);
    if (!videos.empty())
        return joinPartVideos(folder, videos, parts, r, fps, *format, out, error);
    error = folder + " holds no frames (frame_NNNNNN.png) and no part videos";
    return false;
}

} // namespace

// The video is encoded under a hidden name beside --out and takes its name only when complete.
bool joinRender(const CaptureOptions& o, std::string& error) {
    if (!files::checkOutput(o.out, {}, &error)) {
        error = "--out: " + error;
        return false;
    }
    const std::string work = files::workName(o.out);
    if (joinInto(o, work, error))
        return files::deliverWork(work, o.out, &error);
    files::abandonWork(work);
    return false;
}
