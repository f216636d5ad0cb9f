#include "video_formats.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// .mkv keeps every pixel (FFV1 in RGB, FLAC): the format for exact renders and joins.
// .mp4 is for players: H.264 in 4:2:0, AAC. 4:2:0 needs even sizes, so an odd width or height
// (a --scale 0.25 frame is 400 x 225) gets one black line of padding. A capture writes it
// fragmented, so that an interrupted capture stays playable up to its last fragment; the join
// writes a plain file (a fragmented one has no edit list, and players then drop or shift the
// first frames of very low frame rates).
const VideoFormat kFormats[] = {
    {".mkv", "-c:v ffv1 -level 3 -pix_fmt bgr0", "-c:a flac", "", ""},
    {".mp4",
     "-c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -vf 'pad=ceil(iw/2)*2:ceil(ih/2)*2'",
     "-c:a aac -b:a 192k", "-movflags +frag_keyframe+empty_moov", "-movflags +faststart"},
};

} // namespace

const VideoFormat* videoFormatFor(const std::string& path) {
    for (const VideoFormat& f : kFormats) {
        const std::size_t n = std::strlen(f.extension);
        if (path.size() > n && strcasecmp(path.c_str() + path.size() - n, f.extension) == 0)
            return &f;
    }
    return nullptr;
}

std::string videoExtensions() {
    std::string list;
    for (const VideoFormat& f : kFormats)
        list += (list.empty() ? "" : " or ") + std::string(f.extension);
    return list;
}

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool ffmpegAvailable() {
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}
