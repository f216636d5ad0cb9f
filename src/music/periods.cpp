#include "music/periods.h"

#include <cmath>

namespace {

// Amiga periods of one octave (plus the next C), scaled by 1024.
constexpr int64_t kAmigaPeriods[13] = {
    1712 * 1024, 1616 * 1024, 1525 * 1024, 1440 * 1024, 1357 * 1024, 1281 * 1024, 1209 * 1024,
    1141 * 1024, 1077 * 1024, 1017 * 1024, 961 * 1024,  907 * 1024,  856 * 1024};
constexpr int64_t kHighestOctaveTop = 1753088; // kAmigaPeriods[0]
constexpr int64_t kLowestOctaveEnd = 876544;   // kAmigaPeriods[12]

// Shifts beyond this would overflow the 64-bit table arithmetic; no real note gets near it.
constexpr int kMaxOctaveShift = 40;

// Table entry shifted right by s octaves (left for negative s).
int64_t shiftedPeriod(int index, int shift) {
    if (shift > 0) {
        return kAmigaPeriods[index] >> (shift > 62 ? 62 : shift);
    }
    if (shift < 0) {
        return kAmigaPeriods[index] << (-shift > kMaxOctaveShift ? kMaxOctaveShift : -shift);
    }
    return kAmigaPeriods[index];
}

// Notes far outside the table (or not numbers at all) are held to a range whose integer
// conversions are defined; real notes lie between about -128 and 240.
float boundedNote(float note) {
    if (!(note > -100000.0f)) {
        return -100000.0f;
    }
    return note < 100000.0f ? note : 100000.0f;
}

// Modules are tuned so that C-4 (period 428) plays at 8363 Hz: 428 x 8363 x 2 = 7158728.
// (The PAL Paula clock, 7093789, would play every note 15.8 cents flat.)
float amigaFrequency(float period) {
    return period == 0.0f ? 0.0f : 7158728.0f / (2.0f * period);
}

} // namespace

float amigaNotePeriod(float note) {
    const float n = boundedNote(note);
    // Semitone and octave are both floored, so that notes below C-2 (and below note 0) fall
    // into their own lower octaves.
    const float whole = std::floor(n);
    const auto semitone = static_cast<int64_t>(whole);
    const int index = static_cast<int>((semitone % 12 + 12) % 12);
    float octave = std::floor(n / 12.0f - 2.0f);
    if (octave < -128.0f) {
        octave = -128.0f;
    }
    if (octave > 127.0f) {
        octave = 127.0f;
    }
    const int shift = static_cast<int8_t>(octave);
    const int64_t p1 = shiftedPeriod(index, shift);
    const int64_t p2 = shiftedPeriod(index + 1, shift);
    return (static_cast<float>(p1) + (n - whole) * static_cast<float>(p2 - p1)) / 1024.0f;
}

float notePeriod(const ModulePlayer* player, float note) {
    if (player->frequencyMode == LinearTable) {
        return 7680.0f - 64.0f * note;
    }
    return amigaNotePeriod(note);
}

namespace {

// Under the Amiga table an arpeggio is added in semitones: the period is turned back into a
// note, the offset added, and the sum turned into a period again.
float amigaArpeggioPeriod(float period, uint8_t arpeggioOffset) {
    const float scaled = 1024.0f * period;
    int shift = 0;
    if (scaled > static_cast<float>(kHighestOctaveTop)) {
        int k = 1;
        while (k < kMaxOctaveShift && scaled > static_cast<float>(kHighestOctaveTop << k)) {
            ++k;
        }
        shift = -k;
    } else if (scaled < static_cast<float>(kLowestOctaveEnd)) {
        int k = 1;
        while (k < kMaxOctaveShift && scaled < static_cast<float>(kLowestOctaveEnd >> k)) {
            ++k;
        }
        shift = k;
    }
    int index = 0;
    int64_t p1 = shiftedPeriod(11, shift);
    int64_t p2 = shiftedPeriod(12, shift);
    for (int i = 0; i < 12; ++i) {
        const int64_t high = shiftedPeriod(i, shift);
        const int64_t low = shiftedPeriod(i + 1, shift);
        if (static_cast<float>(low) <= scaled && scaled <= static_cast<float>(high)) {
            index = i;
            p1 = high;
            p2 = low;
            break;
        }
    }
    // Deep octave shifts make neighbouring entries equal; the note then sits on the entry.
    const float fraction =
        p2 == p1 ? 0.0f : (scaled - static_cast<float>(p1)) / static_cast<float>(p2 - p1);
    const float note = fraction + static_cast<float>((shift + 2) * 12) + static_cast<float>(index) +
                       static_cast<float>(arpeggioOffset);
    return amigaNotePeriod(note);
}

} // namespace

float periodFrequency(const ModulePlayer* player, float period, uint8_t arpeggioOffset,
                      float vibratoOffset) {
    if (player->frequencyMode == LinearTable) {
        const float shifted = period - 64.0f * static_cast<float>(arpeggioOffset) + vibratoOffset;
        // exp2 in double, rounded once to float: float exp2 is not rounded alike by every C
        // library (mingw-w64's and glibc's differ on some vibrato periods), and Windows and
        // Linux must render the same bytes.
        const double power = std::exp2(static_cast<double>((4608.0f - shifted) / 768.0f));
        return static_cast<float>(8363.0 * power);
    }
    // Vibrato offsets count quarters of an Amiga period unit here.
    if (arpeggioOffset == 0) {
        return amigaFrequency(period + 0.25f * vibratoOffset);
    }
    return amigaFrequency(amigaArpeggioPeriod(period, arpeggioOffset) + 0.25f * vibratoOffset);
}

void refreshFrequency(const ModulePlayer* player, PlayerChannel* channel) {
    channel->frequency = periodFrequency(player, channel->period, channel->arpeggioOffset,
                                         channel->vibratoOffset + channel->autovibratoOffset);
    // Frames per output frame in 32.32 fixed point, rounded to the nearest 2^-32 frame. A step
    // that is negative or not a finite number holds the voice still; one beyond 2^24 frames
    // per frame (far past hearing) is held there, which keeps every position sum inside 64 bits.
    const double step = static_cast<double>(channel->frequency) /
                        static_cast<double>(player->sampleRate) * static_cast<double>(kOneFrame);
    constexpr double kLargestStep = 16777216.0 * static_cast<double>(kOneFrame);
    channel->step = !(step > 0.0) || !std::isfinite(step) ? 0
                    : step < kLargestStep ? static_cast<SamplePosition>(std::llround(step))
                                          : static_cast<SamplePosition>(kLargestStep);
}
