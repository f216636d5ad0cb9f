// A stereo WAV file. A regular file is written under a temporary name and renamed into place
// only when complete, so a failed or interrupted run never leaves a half-written file behind;
// standard output ("-"), FIFOs and devices are streamed, with the length stated up front.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files/output_file.h"

enum class SampleFormat { Float32, Pcm16 };

// One frame's bytes in the file.
inline uint32_t wavBlockAlign(SampleFormat format) {
    return format == SampleFormat::Pcm16 ? 4 : 8;
}

// Most frames a WAV file of this format can hold (its sizes are 32-bit).
uint64_t wavMaxFrames(SampleFormat format);

// The file header for `frames` stereo frames.
std::vector<uint8_t> wavHeader(SampleFormat format, uint32_t rate, uint64_t frames);

// 16-bit PCM of float samples as little-endian bytes (2 x count at out): each scaled by
// 32768, rounded to nearest with halves to even, clipped (not wrapped); NaN gives 0.
void pcm16FromFloats(const float* values, size_t count, uint8_t* out);

class WavFile {
public:
    WavFile() = default;
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;
    // Opens `path` for writing (see files::OutputFile; `inputs` are the files it must not be);
    // false with *error on failure.
    bool create(const std::string& path, SampleFormat format, uint32_t rate, std::string* error,
                const std::vector<std::string>& inputs = {});
    // True when the header cannot be rewritten at the end: give the length with expectFrames
    // before the first write.
    bool streaming() const { return !out_.seekable(); }
    void expectFrames(uint64_t frames) {
        expected_ = frames;
        announced_ = true;
    }
    bool write(const float* interleaved, uint32_t frames, std::string* error);
    // Completes the header and delivers the file under its final name.
    bool finish(std::string* error);

    uint64_t frames() const { return frames_; }

private:
    bool writeHeader(uint64_t frames, std::string* error);

    files::OutputFile out_;
    SampleFormat format_ = SampleFormat::Float32;
    uint32_t rate_ = 0;
    uint64_t frames_ = 0;
    uint64_t expected_ = 0;
    bool announced_ = false;
    bool headerWritten_ = false;
    std::vector<uint8_t> buffer_;
};
