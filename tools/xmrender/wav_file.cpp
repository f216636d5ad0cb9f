#include "wav_file.h"

#include <cmath>
#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatIeeeFloat = 3;

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v));
    put16(out, static_cast<uint16_t>(v >> 16));
}
void putTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

// Float formats carry the extension size field and a fact chunk; PCM has neither.
uint32_t headerBytes(SampleFormat format) {
    return format == SampleFormat::Pcm16 ? 44 : 58;
}

} // namespace

uint64_t wavMaxFrames(SampleFormat format) {
    return (UINT32_MAX - headerBytes(format)) / wavBlockAlign(format);
}

std::vector<uint8_t> wavHeader(SampleFormat format, uint32_t rate, uint64_t frames) {
    const bool pcm = format == SampleFormat::Pcm16;
    const uint32_t block = wavBlockAlign(format);
    const uint32_t dataBytes = static_cast<uint32_t>(frames * block);
    std::vector<uint8_t> h;
    putTag(h, "RIFF");
    put32(h, headerBytes(format) - 8 + dataBytes);
    putTag(h, "WAVE");
    putTag(h, "fmt ");
    put32(h, pcm ? 16 : 18);
    put16(h, pcm ? kFormatPcm : kFormatIeeeFloat);
    put16(h, 2);
    put32(h, rate);
    put32(h, rate * block);
    put16(h, static_cast<uint16_t>(block));
    put16(h, static_cast<uint16_t>(block / 2 * 8));
    if (!pcm) {
        put16(h, 0);
        putTag(h, "fact");
        put32(h, 4);
        put32(h, static_cast<uint32_t>(frames));
    }
    putTag(h, "data");
    put32(h, dataBytes);
    return h;
}

int16_t pcm16FromFloat(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    const float scaled = std::nearbyint(value * 32768.0f);
    if (scaled >= 32767.0f) {
        return 32767;
    }
    if (scaled <= -32768.0f) {
        return -32768;
    }
    return static_cast<int16_t>(scaled);
}

bool WavFile::create(const std::string& path, SampleFormat format, uint32_t rate,
                     std::string* error, const std::vector<std::string>& inputs) {
    format_ = format;
    rate_ = rate;
    frames_ = 0;
    expected_ = 0;
    announced_ = false;
    headerWritten_ = false;
    if (!out_.open(path, inputs, error)) {
        return false;
    }
    // A rewritable file gets its header now and its sizes at the end.
    return streaming() || writeHeader(0, error);
}

bool WavFile::writeHeader(uint64_t frames, std::string* error) {
    if (streaming() && !announced_) {
        *error = "'" + out_.path() + "' is written as a stream: its length is needed first";
        out_.abandon();
        return false;
    }
    const std::vector<uint8_t> header = wavHeader(format_, rate_, frames);
    if (std::fwrite(header.data(), 1, header.size(), out_.stream()) != header.size()) {
        *error = out_.writeError();
        out_.abandon();
        return false;
    }
    headerWritten_ = true;
    return true;
}

bool WavFile::write(const float* interleaved, uint32_t frames, std::string* error) {
    if (frames_ + frames > wavMaxFrames(format_)) {
        *error = "the output is longer than a WAV file can hold (4 GiB)";
        out_.abandon();
        return false;
    }
    if (!headerWritten_ && !writeHeader(expected_, error)) {
        return false;
    }
    buffer_.clear();
    const size_t values = 2 * static_cast<size_t>(frames);
    for (size_t i = 0; i < values; ++i) {
        if (format_ == SampleFormat::Pcm16) {
            put16(buffer_, static_cast<uint16_t>(pcm16FromFloat(interleaved[i])));
        } else {
            uint32_t bits;
            std::memcpy(&bits, &interleaved[i], 4);
            put32(buffer_, bits);
        }
    }
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_.stream()) != buffer_.size()) {
        *error = out_.writeError();
        out_.abandon();
        return false;
    }
    frames_ += frames;
    return true;
}

bool WavFile::finish(std::string* error) {
    if (streaming()) {
        if (!headerWritten_ && !writeHeader(expected_, error)) {
            return false;
        }
        if (frames_ != expected_) {
            *error = "'" + out_.path() + "' got " + std::to_string(frames_) +
                     " frames but its header states " + std::to_string(expected_);
            out_.abandon();
            return false;
        }
    } else {
        const std::vector<uint8_t> header = wavHeader(format_, rate_, frames_);
        if (std::fseek(out_.stream(), 0, SEEK_SET) != 0 ||
            std::fwrite(header.data(), 1, header.size(), out_.stream()) != header.size()) {
            *error = out_.writeError();
            out_.abandon();
            return false;
        }
    }
    return out_.commit(error);
}
