// The XM module player: one block of memory holding a loaded Extended Module (version 0x0104)
// with its playback state, and the operations that create it, render it and release it.
//
// Everything the player needs lives in a single zeroed allocation, laid out as: the
// ModulePlayer record, the ModulePattern records, the ModuleInstrument records, the pattern
// cells, then per instrument its ModuleSample records and decoded sample data, then the
// PlayerChannel records and the rowVisits table. Regions start on 8-byte boundaries (sample
// data on 2-byte ones) so that every record is properly aligned. Rendering never allocates.
#pragma once

#include <cstddef>
#include <cstdint>

enum FrequencyMode : uint32_t { LinearTable = 0, AmigaTable = 1 };

// Values other than these five are legal and stand for a flat (always 0) waveform.
enum Waveform : uint32_t { Sine = 0, RampDown = 1, Square = 2, Random = 3, RampUp = 4 };

enum LoopType : uint32_t { NoLoop = 0, ForwardLoop = 1, PingPongLoop = 2 };

// A voice's position in its sample and its step per output frame, in 32.32 fixed point: whole
// sample frames in the upper 32 bits, the fraction in the lower. Every step is then the same
// exact addition wherever the position stands, so a long sample keeps its pitch (a float
// position would round each step to its own precision, which coarsens as it grows).
using SamplePosition = int64_t;
constexpr int kPositionFractionBits = 32;
constexpr SamplePosition kOneFrame = SamplePosition{1} << kPositionFractionBits;
// Any negative position means the voice has stopped; this is the one the player sets.
constexpr SamplePosition kVoiceStopped = -kOneFrame;

constexpr SamplePosition framePosition(uint32_t frame) {
    return static_cast<SamplePosition>(frame) << kPositionFractionBits;
}
// The sample frame a position (0 or more) lies in.
constexpr uint32_t positionFrame(SamplePosition position) {
    return static_cast<uint32_t>(position >> kPositionFractionBits);
}

// One unpacked pattern cell. note: 0 none, 1..96 notes, 97 key off.
struct PatternCell {
    uint8_t note;
    uint8_t instrument;
    uint8_t volumeColumn;
    uint8_t effectType;
    uint8_t effectParam;
};

struct ModulePattern {
    uint16_t rowCount;
    PatternCell* cells; // rowCount x channelCount, row-major
};

struct EnvelopePoint {
    uint16_t frame;
    uint16_t value; // 0..64 is full scale 0..1
};

constexpr int kEnvelopePoints = 12;

struct Envelope {
    EnvelopePoint points[kEnvelopePoints];
    uint8_t pointCount;
    uint8_t sustainPoint;
    uint8_t loopStart;
    uint8_t loopEnd;
    uint8_t enabled;
    uint8_t sustainEnabled;
    uint8_t loopEnabled;
};

struct ModuleSample {
    uint8_t bits;    // 8 or 16
    uint32_t length; // all four in sample frames
    uint32_t loopStart;
    uint32_t loopLength;
    uint32_t loopEnd;
    float volume;
    int8_t finetune;
    LoopType loopType;
    float panning;
    int8_t relativeNote;
    // length values: int8_t for 8-bit samples, int16_t for 16-bit ones. At least four more
    // bytes after them are readable (in the player's block the next records follow), so the
    // vector kernels may read a value's neighbours along with it.
    void* data;
};

struct ModuleInstrument {
    uint16_t sampleCount;
    uint8_t keymap[96];
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    Waveform autovibratoWaveform;
    uint8_t autovibratoSweep;
    uint8_t autovibratoDepth;
    uint8_t autovibratoRate;
    uint16_t fadeout;
    ModuleSample* samples; // null when sampleCount is 0
};

struct PlayerChannel {
    float note;
    float origNote;
    ModuleInstrument* instrument;
    ModuleSample* sample;
    const PatternCell* cell;
    SamplePosition position; // negative = voice stopped
    float period;
    float frequency;
    SamplePosition step; // frames advanced per output frame, 0 or more
    uint8_t pingForward;
    float volume;
    float panning;
    uint16_t autovibratoTicks;
    uint8_t sustained;
    float fadeoutVolume;
    float volumeEnvelopeValue;
    float panningEnvelopeValue;
    uint16_t volumeEnvelopeFrame;
    uint16_t panningEnvelopeFrame;
    float autovibratoOffset; // fine period units, added to the period (see periodFrequency)
    uint8_t arpeggioActive;
    uint8_t arpeggioOffset;
    uint8_t volumeSlideParam;
    uint8_t fineVolumeSlideParam;
    uint8_t globalVolumeSlideParam;
    uint8_t panningSlideParam;
    uint8_t portamentoUpParam;
    uint8_t portamentoDownParam;
    uint8_t finePortamentoUpParam;
    uint8_t finePortamentoDownParam;
    uint8_t extraFinePortamentoUpParam;
    uint8_t extraFinePortamentoDownParam;
    uint8_t tonePortamentoParam;
    float tonePortamentoTarget;
    uint8_t multiRetrigParam;
    uint8_t noteDelayParam;
    uint8_t sampleOffsetParam; // the last non-zero 9xx: 900 reuses it
    uint8_t patternLoopOrigin;
    uint8_t patternLoopCount;
    uint8_t vibratoActive;
    Waveform vibratoWaveform;
    uint8_t vibratoRetrigger;
    uint8_t vibratoParam;
    uint16_t vibratoTicks;
    float vibratoOffset; // fine period units, as autovibratoOffset
    Waveform tremoloWaveform;
    uint8_t tremoloRetrigger;
    uint8_t tremoloParam;
    uint8_t tremoloTicks;
    float tremoloVolume;
    uint8_t tremorParam;
    uint8_t tremorMute;
    float targetVolume[2];
    uint32_t rampFrame;
    float rampBuffer[32];
    float actualVolume[2];
};

struct ModulePlayer {
    uint16_t songLength;
    uint16_t restartPosition;
    uint16_t channelCount;
    uint16_t patternCount;
    uint16_t instrumentCount;
    FrequencyMode frequencyMode;
    uint8_t orderTable[256];
    ModulePattern* patterns;
    ModuleInstrument* instruments;
    uint32_t sampleRate;
    uint16_t tempo;
    uint16_t bpm;
    float globalVolume;
    float amplification;
    float rampStep;
    uint8_t currentOrder;
    uint8_t currentRow;
    uint16_t currentTick;
    float samplesUntilTick;
    uint8_t jumpPending;
    uint8_t breakPending;
    uint8_t jumpOrder;
    uint8_t jumpRow;
    uint16_t extraTicks;
    uint8_t* rowVisits; // max(songLength, 1) x 256 counters, order position x 256 + row
    uint8_t loopCount;
    uint8_t loopLimit;
    PlayerChannel* channels;
};

// The largest allocation a player may take. Real modules need a few megabytes; a file whose
// sizes ask for more is refused as out of memory rather than filling gigabytes.
constexpr uint64_t kMaxPlayerBytes = 256ull << 20;

// Results of createModulePlayer.
enum : int { kPlayerOk = 0, kPlayerInvalidModule = 1, kPlayerOutOfMemory = 2 };

// Results of checkModuleHeader.
enum : int {
    kHeaderValid = 0,
    kHeaderWrongId = 1,
    kHeaderNoEofMarker = 2,
    kHeaderWrongVersion = 3,
    kHeaderTooShort = 4,
    kHeaderTooManyChannels = 5, // channel indices are 8-bit: at most 255 channels
};

// A one-line English description of a checkModuleHeader result.
const char* moduleHeaderError(int check);

// Creates a player for the module in data[0..size). Returns kPlayerOk and sets *out, or
// kPlayerInvalidModule (header check failed, or sampleRate is 0) or kPlayerOutOfMemory (the
// allocation failed or would exceed kMaxPlayerBytes);
// on failure *out is left unchanged. The player keeps no pointer into data.
int createModulePlayer(ModulePlayer** out, const void* data, size_t size, uint32_t sampleRate);
void destroyModulePlayer(ModulePlayer* player);

int checkModuleHeader(const void* data, size_t size);
// Bytes of the single allocation the module needs (0 if the header check fails).
uint64_t playerMemorySize(const void* data, size_t size);
// Fills the header fields and the arena that starts right after the ModulePlayer record;
// returns the first byte after the last sample's data (aligned for the channel records).
uint8_t* loadModule(ModulePlayer* player, const void* data, size_t size, uint8_t* arena);

// 0 plays for ever; otherwise output falls silent while the current row has been played
// loopLimit times before.
void setLoopLimit(ModulePlayer* player, uint8_t limit);
// True while the loop limit silences the output (the current row was already played often
// enough).
bool loopLimitSilences(const ModulePlayer* player);

// Writes `frames` interleaved stereo frames (left, right) to out.
void generateSamples(ModulePlayer* player, float* out, uint32_t frames);
// Advances the song by `frames` frames exactly as generateSamples would, discarding the sound:
// a seek renders from there on the same output as a player that played through. It costs
// what rendering costs (about 1000 seconds of a busy 32-channel song per CPU second).
void skipSamples(ModulePlayer* player, uint64_t frames);
// Like generateSamples, but stops at the first frame that the loop limit silences. Returns
// the number of audible-state frames written; when that is below `frames`, the silenced
// frame has been played too (written as 0, 0 at index returned), so the player has advanced
// by returned + 1 frames.
uint32_t generateSamplesUntilSilenced(ModulePlayer* player, float* out, uint32_t frames);
