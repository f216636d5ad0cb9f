// The video containers the capture tool writes, by file extension, with the ffmpeg encoder
// arguments of each. One table for the capture's own videos and for the join.
#pragma once

#include <string>

struct VideoFormat {
    const char* extension;
    const char* video; // encoder arguments for the pictures
    const char* audio; // encoder arguments for the soundtrack
    const char* muxer; // container arguments while frames stream in from a capture
    const char* file;  // container arguments for a file made in one go (the join)
};

// The format for `path`'s extension (any letter case), or null when it names no video.
const VideoFormat* videoFormatFor(const std::string& path);

// The extensions of the table, for messages: ".mkv or .mp4".
std::string videoExtensions();

// `path` in single quotes for the shell.
std::string shellQuoted(const std::string& path);

// Whether an ffmpeg program can be started.
bool ffmpegAvailable();
