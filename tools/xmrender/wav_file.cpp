#include "wav_file.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUAVEL_PCM16_SSE2 1
#endif

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatIeeeFloat = 3;
constexpr size_t kWriteBufferBytes = size_t{1} << 20;

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

namespace {

// Adding and taking away 1.5 x 2^23 rounds a float below 2^22 in magnitude to the nearest
// whole number, ties to even, as nearbyint does in the default rounding mode, without a call
// per value.
constexpr float kRoundingShift = 12582912.0f;

// Clipping before rounding gives the same result as rounding first: every value at or past
// an end of the range rounds to that end either way.
inline int32_t pcm16Value(float value) {
    if (value != value) {
        return 0; // NaN
    }
    float scaled = value * 32768.0f;
    scaled = scaled > 32767.0f ? 32767.0f : (scaled < -32768.0f ? -32768.0f : scaled);
    return static_cast<int32_t>((scaled + kRoundingShift) - kRoundingShift);
}

void putFloat32(const float* values, size_t count, uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        out[4 * i] = static_cast<uint8_t>(bits);
        out[4 * i + 1] = static_cast<uint8_t>(bits >> 8);
        out[4 * i + 2] = static_cast<uint8_t>(bits >> 16);
        out[4 * i + 3] = static_cast<uint8_t>(bits >> 24);
    }
}

} // namespace

void pcm16FromFloats(const float* values, size_t count, uint8_t* out) {
    size_t i = 0;
#ifdef QUAVEL_PCM16_SSE2
    // Eight values at a time: NaN to 0, clipped, then rounded in the current rounding mode
    // (to nearest, ties to even, as the shift above) and packed; x86 stores little-endian.
    const __m128 scale = _mm_set1_ps(32768.0f);
    const __m128 top = _mm_set1_ps(32767.0f);
    const __m128 bottom = _mm_set1_ps(-32768.0f);
    for (; i + 8 <= count; i += 8) {
        __m128 a = _mm_mul_ps(_mm_loadu_ps(values + i), scale);
        __m128 b = _mm_mul_ps(_mm_loadu_ps(values + i + 4), scale);
        a = _mm_min_ps(_mm_max_ps(_mm_and_ps(a, _mm_cmpord_ps(a, a)), bottom), top);
        b = _mm_min_ps(_mm_max_ps(_mm_and_ps(b, _mm_cmpord_ps(b, b)), bottom), top);
        const __m128i pcm = _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), pcm);
    }
#endif
    // The rest, and every value where there are no vector instructions: little-endian bytes
    // whatever the host's byte order.
    for (; i < count; ++i) {
        const auto v = static_cast<uint16_t>(pcm16Value(values[i]));
        out[2 * i] = static_cast<uint8_t>(v);
        out[2 * i + 1] = static_cast<uint8_t>(v >> 8);
    }
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
    // Blocks reach the file in large writes rather than one system call each.
    std::setvbuf(out_.stream(), nullptr, _IOFBF, kWriteBufferBytes);
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
    // The whole block is converted in one pass into a buffer that keeps its size.
    const size_t values = 2 * static_cast<size_t>(frames);
    buffer_.resize(values * wavBlockAlign(format_) / 2);
    if (format_ == SampleFormat::Pcm16) {
        pcm16FromFloats(interleaved, values, buffer_.data());
    } else {
        putFloat32(interleaved, values, buffer_.data());
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
