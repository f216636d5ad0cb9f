// Random XM modules that are well formed in structure but hostile in content: both frequency
// tables, every effect and volume-column command with any parameter, 8- and 16-bit samples
// of 0 to a few thousand frames, every loop type with loop points at and past the ends,
// envelopes with odd sustain and loop points, autovibrato, any tempo and BPM. Each channel
// column keeps a favourite command for a while, so slides and vibratos run long enough to
// drive periods and steps to their extremes.
//
//   xmtest::SeededChoices choices(seed);
//   std::vector<uint8_t> bytes = xmtest::randomModule(choices).build();
//
// The decisions come from a Choices source: a seeded generator in the tests (a seed replays
// a module exactly), the fuzzer's input bytes in the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>

#include "xm_builder.h"

namespace xmtest {

class Choices {
public:
    virtual ~Choices() = default;
    virtual uint8_t byte() = 0;
    // A value in [0, bound), 0 when bound is 0; takes as few bytes as the bound needs.
    uint32_t below(uint32_t bound);
    bool percent(uint32_t chance) { return below(100) < chance; }
};

class SeededChoices : public Choices {
public:
    explicit SeededChoices(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint8_t byte() override;

private:
    uint64_t state_;
};

// Reads the decisions from bytes; once they run out every decision is 0.
class ByteChoices : public Choices {
public:
    ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() override { return at_ < size_ ? data_[at_++] : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

XmModule randomModule(Choices& choices);

// Output rates the random modules are played at, from 8 to 192 kHz.
inline constexpr uint32_t kRandomModuleRates[] = {8000, 22050, 44100, 96000, 192000};

} // namespace xmtest
