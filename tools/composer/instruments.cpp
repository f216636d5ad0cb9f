#include "instruments.h"

#include "dsp.h"
#include "prng.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace composer {
namespace {

constexpr double kMiddleC = 261.6255653;

// Sets relativeNote and finetune so that cell note C-4 plays the sample back at `rate` frames
// a second (the linear table plays note C-4 of an untuned sample at 8363 Hz).
void tuneToRate(XmSample& s, double rate) {
    const double semitones = 12.0 * stableLog2(rate / 8363.0);
    const double whole = std::floor(semitones + 0.5);
    long fine = std::lround((semitones - whole) * 128.0);
    s.relativeNote = int8_t(whole);
    s.finetune = int8_t(fine > 127 ? 127 : fine);
}

// A periodic sample with `framesPerCycle` frames to one cycle plays middle C at cell note C-4.
void tuneCycle(XmSample& s, double framesPerCycle) {
    tuneToRate(s, kMiddleC * framesPerCycle);
}

XmEnvelope envelope(std::vector<XmEnvelopePoint> points, int sustain = -1, int loopStart = -1,
                    int loopEnd = -1) {
    XmEnvelope e;
    e.points = std::move(points);
    e.enabled = true;
    if (sustain >= 0) {
        e.sustain = true;
        e.sustainPoint = uint8_t(sustain);
    }
    if (loopStart >= 0) {
        e.loop = true;
        e.loopStart = uint8_t(loopStart);
        e.loopEnd = uint8_t(loopEnd);
    }
    return e;
}

std::vector<double> render(double seconds, double rate, const std::function<double(double)>& f) {
    std::vector<double> out(size_t(seconds * rate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = f(double(i) / rate);
    return out;
}

// Sum of harmonics 1..count of a wave at `phase` cycles with amplitude 1/h, every harmonic
// (saw) or only the odd ones (square), rolled off above `soft` to keep the tone warm.
double bandLimitedWave(double phase, int count, bool oddOnly, double soft) {
    double sum = 0;
    for (int h = 1; h <= count; h += oddOnly ? 2 : 1) {
        const double rolloff = 1.0 / (1.0 + (h / soft) * (h / soft));
        sum += stableSin(2 * kPi * h * phase) * rolloff / h;
    }
    return sum;
}

// A one-shot sample that stops while still ringing would click: its last 20 ms fade to zero.
void fadeTail(std::vector<double>& signal, double rate) {
    const size_t fade = std::min(signal.size(), size_t(0.02 * rate));
    for (size_t i = 0; i < fade; ++i) {
        const double w = 0.5 - 0.5 * stableSin(kPi * (double(i) / fade - 0.5));
        signal[signal.size() - fade + i] *= w;
    }
}

// Samples that will loop keep their tail as it is; every other one fades out at its end.
XmSample drumSample(const char* name, std::vector<double> signal, bool sixteenBit, double rate,
                    uint8_t volume, bool willLoop = false) {
    if (!willLoop)
        fadeTail(signal, rate);
    XmSample s;
    s.name = name;
    s.data = normalise(signal, 0.97);
    s.sixteenBit = sixteenBit;
    s.volume = volume;
    tuneToRate(s, rate);
    return s;
}

XmInstrument single(const char* name, XmSample sample) {
    XmInstrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(sample));
    return ins;
}

// A kick drum: a sine whose pitch falls fast from a high knock to the boom, with a noise click
// on the attack; `attack` is the fade-in time constant, `click` the click's level.
std::vector<double> kickSignal(double attack, double click, double drive) {
    Prng noise(11);
    double phase = 0;
    return render(0.30, kSynthRate, [&](double t) {
        const double f = 46 + 120 * decay(t, 0.028) + 250 * decay(t, 0.004);
        phase += f / kSynthRate;
        const double body = stableSin(2 * kPi * phase) * decay(t, 0.11) * (1 - decay(t, attack));
        const double knock = noise.bipolar() * click * decay(t, 0.0015);
        return stableTanh(drive * (body + knock));
    });
}

XmInstrument kick() {
    return single("kick", drumSample("kick", kickSignal(0.0006, 0.35, 1.8), true, kSynthRate, 64));
}

// The kick of the heart flashes: the same drum struck harder, so it reaches full level at
// once and its first milliseconds are louder than anything ringing under it.
XmInstrument flashKick() {
    return single("flash kick",
                  drumSample("flash kick", kickSignal(0.0002, 0.6, 2.6), true, kSynthRate, 64));
}

XmInstrument snare() {
    Prng noise(23);
    OnePoleHighpass hp(900);
    OnePoleLowpass lp(9000);
    auto signal = render(0.26, kSynthRate, [&](double t) {
        const double tone = 0.55 * stableSin(2 * kPi * 188 * t) * decay(t, 0.055) +
                            0.25 * stableSin(2 * kPi * 332 * t) * decay(t, 0.035);
        const double hiss = lp(hp(noise.bipolar())) * decay(t, 0.085) * 1.1;
        return stableTanh(2.0 * (tone + hiss));
    });
    return single("snare", drumSample("snare", signal, true, kSynthRate, 64));
}

XmInstrument clap() {
    Prng noise(37);
    OnePoleHighpass hp(1100);
    OnePoleLowpass lp(5000);
    auto signal = render(0.28, kSynthRate, [&](double t) {
        double env = 0;
        for (double burst : {0.0, 0.009, 0.018})
            if (t >= burst)
                env += decay(t - burst, 0.004);
        if (t >= 0.026)
            env += 0.8 * decay(t - 0.026, 0.07);
        return lp(hp(noise.bipolar())) * env;
    });
    XmSample s = drumSample("clap", signal, false, kSynthRate, 64);
    s.panning = 112;
    return single("clap", s);
}

// Metallic hat tone: noise with a cluster of inharmonic square partials, high-passed.
std::vector<double> hatSignal(double seconds, double tau, uint32_t seed) {
    Prng noise(seed);
    OnePoleHighpass hp(6500);
    static const double partials[] = {2040, 3150, 4280, 5410, 6970, 8330};
    return render(seconds, kSynthRate, [&](double t) {
        double metal = 0;
        for (double f : partials)
            metal += stableSin(2 * kPi * f * t) > 0 ? 0.12 : -0.12;
        return hp(0.7 * noise.bipolar() + metal) * decay(t, tau) * (1 - decay(t, 0.0004));
    });
}

// The hats sit a little right of centre, the clap a little left, to widen the kit.
XmInstrument closedHat() {
    XmSample s = drumSample("closed hat", hatSignal(0.07, 0.016, 41), false, kSynthRate, 64);
    s.panning = 160;
    return single("closed hat", s);
}

XmInstrument openHat() {
    XmSample s = drumSample("open hat", hatSignal(0.40, 0.12, 43), false, kSynthRate, 64);
    s.panning = 150;
    return single("open hat", s);
}

// The crash rings for seconds: its sample settles into steady noise that a ping-pong loop
// sustains, and the instrument's volume envelope shapes the long decay.
XmInstrument crash() {
    Prng noise(59);
    OnePoleHighpass hp(3200);
    static const double partials[] = {3110, 4470, 5830, 7260};
    auto signal = render(0.9, kSynthRate, [&](double t) {
        double metal = 0;
        for (double f : partials)
            metal += 0.08 * stableSin(2 * kPi * f * t + 3 * stableSin(2 * kPi * 93 * t));
        const double level = 0.35 + 0.65 * decay(t, 0.12);
        return hp(noise.bipolar() + metal) * level * (1 - decay(t, 0.0005));
    });
    XmSample s = drumSample("crash", signal, false, kSynthRate, 64, true);
    s.loop = XmLoop::PingPong;
    s.loopStart = uint32_t(0.5 * kSynthRate);
    s.loopLength = uint32_t(s.data.size()) - s.loopStart;
    XmInstrument ins = single("crash", s);
    ins.volumeEnvelope = envelope({{0, 64}, {50, 44}, {120, 22}, {220, 8}, {320, 0}});
    return ins;
}

XmInstrument tom() {
    double phase = 0;
    auto signal = render(0.38, kSynthRate, [&](double t) {
        phase += (98 + 70 * decay(t, 0.05)) / kSynthRate;
        return stableSin(2 * kPi * phase) * decay(t, 0.14) * (1 - decay(t, 0.0008));
    });
    return single("tom", drumSample("tom", signal, true, kSynthRate, 64));
}

// Bass: 24 cycles whose brightness falls cycle by cycle (a baked filter sweep), the last
// cycle looped so that the note sustains dark.
XmInstrument bass() {
    const int cycle = 512, cycles = 24;
    std::vector<double> signal(size_t(cycle) * cycles);
    for (size_t i = 0; i < signal.size(); ++i) {
        const double phase = double(i % cycle) / cycle;
        const double brightness = 3.5 + 14.0 * decay(double(i) / cycle, 5.0);
        signal[i] =
            0.8 * bandLimitedWave(phase, 40, false, brightness) + 0.45 * stableSin(2 * kPi * phase);
    }
    XmSample s;
    s.name = "bass";
    s.data = normalise(signal, 0.97);
    s.loop = XmLoop::Forward;
    s.loopStart = uint32_t(cycle * (cycles - 1));
    s.loopLength = cycle;
    tuneCycle(s, cycle);
    XmInstrument ins = single("bass", s);
    ins.volumeEnvelope = envelope({{0, 64}, {6, 52}, {30, 44}}, 2);
    ins.fadeout = 3500;
    return ins;
}

// Detuned saw ensemble. Every voice completes a whole number of cycles over the sample, so a
// forward loop over the whole sample is seamless; the voices' cycle counts set the detune.
// Uneven counts and scattered starting phases keep the voices from beating in step.
std::vector<double> ensemble(int frames, const std::vector<int>& cycleCounts, int harmonics,
                             double soft, bool oddOnly) {
    std::vector<double> signal(size_t(frames), 0.0);
    Prng phases(uint32_t(frames) * 31u + uint32_t(cycleCounts.size()));
    for (int k : cycleCounts) {
        const double start = 0.5 + 0.5 * phases.bipolar();
        for (int i = 0; i < frames; ++i) {
            const double phase = start + double(k) * i / frames;
            signal[size_t(i)] +=
                bandLimitedWave(phase - std::floor(phase), harmonics, oddOnly, soft);
        }
    }
    return signal;
}

XmSample loopedEnsemble(const char* name, int frames, const std::vector<int>& counts, int harmonics,
                        double soft, bool oddOnly, bool sixteenBit, XmLoop loop) {
    XmSample s;
    s.name = name;
    s.data = normalise(ensemble(frames, counts, harmonics, soft, oddOnly), 0.95);
    s.sixteenBit = sixteenBit;
    s.loop = loop;
    s.loopStart = 0;
    s.loopLength = uint32_t(frames);
    tuneCycle(s, double(frames) / counts[counts.size() / 2]);
    return s;
}

XmInstrument pad() {
    XmInstrument ins = single("pad", loopedEnsemble("pad", 32768, {196, 199, 200, 202, 203}, 18,
                                                    7.0, false, true, XmLoop::Forward));
    ins.volumeEnvelope = envelope({{0, 0}, {8, 64}, {40, 50}}, 2);
    ins.fadeout = 900;
    return ins;
}

// Slow strings for the quiet passages: softer (only odd harmonics) with a long attack.
XmInstrument strings() {
    XmInstrument ins = single("strings", loopedEnsemble("strings", 32768, {199, 200, 201}, 15, 5.0,
                                                        true, false, XmLoop::PingPong));
    ins.volumeEnvelope = envelope({{0, 0}, {60, 64}, {140, 56}}, 2);
    ins.fadeout = 400;
    ins.vibratoType = 0;
    ins.vibratoSweep = 60;
    ins.vibratoDepth = 6;
    ins.vibratoRate = 6;
    return ins;
}

// Trance gate: the volume envelope loops once per sixteenth (12 ticks at speed 3) and the
// panning envelope sweeps across the stereo field every two beats.
XmInstrument gatePad() {
    XmInstrument ins = single("gate pad", loopedEnsemble("gate pad", 16384, {98, 99, 100, 101, 103},
                                                         14, 6.0, false, false, XmLoop::Forward));
    ins.volumeEnvelope = envelope({{0, 64}, {5, 54}, {7, 10}, {11, 6}, {12, 64}}, -1, 0, 4);
    ins.panningEnvelope = envelope({{0, 32}, {24, 50}, {72, 14}, {96, 32}}, -1, 0, 3);
    return ins;
}

XmInstrument lead() {
    XmSample s = loopedEnsemble("lead", 16384, {128, 129}, 16, 9.0, false, true, XmLoop::Forward);
    tuneCycle(s, 16384.0 / 128.5);
    XmInstrument ins = single("lead", s);
    ins.volumeEnvelope = envelope({{0, 64}, {10, 56}, {60, 48}}, 2);
    ins.fadeout = 1200;
    ins.vibratoType = 0;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 10;
    ins.vibratoRate = 9;
    return ins;
}

// Plucked arpeggio tone: each harmonic decays faster the higher it is.
XmInstrument pluck() {
    const double cycle = 168.0;
    auto signal = render(0.35, kSynthRate, [&](double t) {
        const double phase = t * kSynthRate / cycle;
        double sum = 0;
        for (int h = 1; h <= 24; ++h)
            sum += stableSin(2 * kPi * h * phase) / h * decay(t, 0.25 / (1 + 0.35 * h));
        return sum * (1 - decay(t, 0.0015));
    });
    fadeTail(signal, kSynthRate);
    XmSample s;
    s.name = "pluck";
    s.data = normalise(signal, 0.97);
    tuneCycle(s, cycle);
    return single("pluck", s);
}

// An 8-bit square of 64 frames, the classic chip voice for arpeggio chords.
XmInstrument chip() {
    XmSample s;
    s.name = "chip";
    s.sixteenBit = false;
    for (int i = 0; i < 64; ++i)
        s.data.push_back(int16_t(i < 32 ? 0x5000 : -0x5000));
    s.loop = XmLoop::Forward;
    s.loopLength = 64;
    s.volume = 40;
    tuneCycle(s, 64);
    XmInstrument ins = single("chip", s);
    ins.volumeEnvelope = envelope({{0, 64}, {4, 40}, {24, 32}}, 2);
    ins.fadeout = 2500;
    return ins;
}

XmInstrument riser() {
    Prng noise(71);
    OnePoleLowpass lp(12000);
    auto signal = render(1.0, kSynthRate, [&](double) { return lp(noise.bipolar()); });
    XmSample s = drumSample("riser", signal, false, kSynthRate, 64, true);
    s.loop = XmLoop::Forward;
    s.loopLength = uint32_t(s.data.size());
    return single("riser", s);
}

XmInstrument impact() {
    Prng noise(83);
    OnePoleLowpass lp(900);
    const double rate = kSynthRate / 2;
    double phase = 0;
    auto signal = render(1.2, rate, [&](double t) {
        phase += (36 + 40 * decay(t, 0.12)) / rate;
        return stableSin(2 * kPi * phase) * decay(t, 0.45) +
               0.6 * lp(noise.bipolar()) * decay(t, 0.08);
    });
    return single("impact", drumSample("impact", signal, true, rate, 64));
}

} // namespace

std::vector<XmInstrument> buildInstruments() {
    // In instrument-number order; see the Instrument enumeration.
    static const std::function<XmInstrument()> makers[] = {
        kick,    snare,   clap, closedHat, openHat, crash, tom,    bass,      pad,
        strings, gatePad, lead, pluck,     chip,    riser, impact, flashKick,
    };
    std::vector<XmInstrument> out;
    for (const auto& make : makers)
        out.push_back(make());
    return out;
}

} // namespace composer
