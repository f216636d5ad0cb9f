// A stereo WAV file written under a temporary name in the destination's folder and renamed
// into place only when complete, so a failed run never leaves a half-written file behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class SampleFormat { Float32, Pcm16 };

// One frame's bytes in the file.
inline uint32_t wavBlockAlign(SampleFormat format) {
    return format == SampleFormat::Pcm16 ? 4 : 8;
}

// Most frames a WAV file of this format can hold (its sizes are 32-bit).
uint64_t wavMaxFrames(SampleFormat format);

// The file header for `frames` stereo frames.
std::vector<uint8_t> wavHeader(SampleFormat format, uint32_t rate, uint64_t frames);

// 16-bit PCM of a float sample: scaled by 32768, rounded, clipped (not wrapped).
int16_t pcm16FromFloat(float value);

class WavFile {
public:
    WavFile() = default;
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;
    ~WavFile(); // removes the temporary file unless finish() succeeded

    // Creates the temporary file next to `path`; false with *error on failure.
    bool create(const std::string& path, SampleFormat format, uint32_t rate, std::string* error);
    bool write(const float* interleaved, uint32_t frames, std::string* error);
    // Completes the header and renames the file to its final name.
    bool finish(std::string* error);

    uint64_t frames() const { return frames_; }

private:
    void abandon();

    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    SampleFormat format_ = SampleFormat::Float32;
    uint32_t rate_ = 0;
    uint64_t frames_ = 0;
    std::vector<uint8_t> buffer_;
};
