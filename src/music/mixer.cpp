// Sample generation: ticks when due, every active voice into the frame, gain, loop limit.
//
// Frames between two ticks are rendered channel by channel into the output, which serves as
// the accumulator: each frame still receives the channels in index order, so the sums are
// the same as frame-by-frame mixing, but each voice runs in a tight loop of its own.
#include <cmath>
#include <cstring>

#include "music/module_player.h"
#include "music/sequencer.h"
#include "music/voice.h"
#include "music/voice_kernels.h"

namespace {

void rampVolume(float* actual, float target, float step) {
    if (*actual > target) {
        *actual -= step;
        if (*actual < target) {
            *actual = target;
        }
    } else if (*actual < target) {
        *actual += step;
        if (*actual > target) {
            *actual = target;
        }
    }
}

// Frames rendered per pass over the channels; each channel's contribution to them is built
// in a buffer of this size and then added to the frames.
constexpr uint32_t kBlockFrames = 128;

// A voice whose crossfade is over and whose volumes sit on their targets can run in the
// steady kernels. (rampFrame must not wrap within a block.)
bool steady(const PlayerChannel* c) {
    return c->rampFrame >= kCrossfadeFrames && c->rampFrame <= UINT32_MAX - kBlockFrames &&
           c->actualVolume[0] == c->targetVolume[0] && c->actualVolume[1] == c->targetVolume[1] &&
           c->sample->length != 0 && steadyVolumesFold(c);
}

// Frame-by-frame contributions of an active voice until it is steady, stops, or the block
// ends. Returns the frame reached; *steadyNow tells whether the voice goes on steadily there.
uint32_t mixChangingFrames(const ModulePlayer* player, PlayerChannel* c, float* out,
                           uint32_t frames, bool* steadyNow) {
    uint32_t f = 0;
    *steadyNow = false;
    while (f < frames && voiceActive(c)) {
        if (steady(c)) {
            *steadyNow = true;
            return f;
        }
        const float value = nextVoiceSample(c);
        out[2 * f] = value * c->actualVolume[0];
        out[2 * f + 1] = value * c->actualVolume[1];
        ++c->rampFrame;
        rampVolume(&c->actualVolume[0], c->targetVolume[0], player->rampStep);
        rampVolume(&c->actualVolume[1], c->targetVolume[1], player->rampStep);
        ++f;
    }
    return f;
}

// out[i] = out[i] + a[i] (+ b[i]): one channel's contribution, then the next one's.
void addTwo(float* out, const float* a, const float* b, uint32_t count) {
    uint32_t i = 0;
    if (b != nullptr) {
        for (; i + 4 <= count; i += 4) {
            out[i] = out[i] + a[i] + b[i];
            out[i + 1] = out[i + 1] + a[i + 1] + b[i + 1];
            out[i + 2] = out[i + 2] + a[i + 2] + b[i + 2];
            out[i + 3] = out[i + 3] + a[i + 3] + b[i + 3];
        }
        for (; i < count; ++i) {
            out[i] = out[i] + a[i] + b[i];
        }
        return;
    }
    for (; i + 4 <= count; i += 4) {
        out[i] += a[i];
        out[i + 1] += a[i + 1];
        out[i + 2] += a[i + 2];
        out[i + 3] += a[i + 3];
    }
    for (; i < count; ++i) {
        out[i] += a[i];
    }
}

struct VoiceBlock {
    PlayerChannel* channel = nullptr;
    float out[2 * kBlockFrames];
    uint32_t end = 0;    // frames written so far
    bool steady = false; // goes on in a steady kernel from `end`
};

void startBlock(const ModulePlayer* player, VoiceBlock* v, uint32_t frames) {
    v->end = mixChangingFrames(player, v->channel, v->out, frames, &v->steady);
}

// Runs a steady voice on to frame `to`; it leaves the steady state only by stopping.
void runSteady(VoiceBlock* v, uint32_t to) {
    if (v->steady && v->end < to) {
        v->end = runSteadyVoice(v->channel, v->out, v->end, to, false);
        v->steady = voiceActive(v->channel);
    }
}

void finishBlock(VoiceBlock* v, uint32_t frames) {
    for (uint32_t i = 2 * v->end; i < 2 * frames; ++i) {
        v->out[i] = 0.0f;
    }
}

// Contributions of channels a and b (b may be null) over one block, added to the frames in
// channel order. A silent part of a block adds zeros, which leaves the sums unchanged.
void mixChannelPair(const ModulePlayer* player, PlayerChannel* a, PlayerChannel* b, float* out,
                    uint32_t frames) {
    PlayerChannel* first = voiceActive(a) ? a : nullptr;
    PlayerChannel* second = b != nullptr && voiceActive(b) ? b : nullptr;
    if (first == nullptr && second == nullptr) {
        return;
    }
    // The common case: voices that stay steady through the block add straight to the frames.
    if ((first == nullptr || steady(first)) && (second == nullptr || steady(second))) {
        if (first != nullptr && second != nullptr) {
            uint32_t endA = 0;
            uint32_t endB = 0;
            runSteadyVoicePair(first, out, second, out, 0, frames, &endA, &endB, true);
        } else {
            runSteadyVoice(first != nullptr ? first : second, out, 0, frames, true);
        }
        return;
    }
    VoiceBlock va;
    VoiceBlock vb;
    va.channel = first;
    vb.channel = second;
    if (va.channel != nullptr) {
        startBlock(player, &va, frames);
    }
    if (vb.channel != nullptr) {
        startBlock(player, &vb, frames);
    }
    if (va.steady && vb.steady) {
        runSteady(&va, vb.end);
        runSteady(&vb, va.end);
        if (va.steady && vb.steady && va.end < frames) {
            runSteadyVoicePair(va.channel, va.out, vb.channel, vb.out, va.end, frames, &va.end,
                               &vb.end, false);
            va.steady = voiceActive(va.channel);
            vb.steady = voiceActive(vb.channel);
        }
    }
    runSteady(&va, frames);
    runSteady(&vb, frames);

    if (va.channel != nullptr && vb.channel != nullptr) {
        finishBlock(&va, frames);
        finishBlock(&vb, frames);
        addTwo(out, va.out, vb.out, 2 * frames);
        return;
    }
    VoiceBlock& only = va.channel != nullptr ? va : vb;
    addTwo(out, only.out, nullptr, 2 * only.end);
}

void mixFrames(ModulePlayer* player, float* out, uint32_t frames) {
    std::memset(out, 0, sizeof(float) * 2 * frames);
    if (loopLimitSilences(player)) {
        return;
    }
    // 64-bit counts: a request near 2^32 frames must not wrap them.
    for (uint64_t done = 0; done < frames; done += kBlockFrames) {
        const uint32_t n =
            static_cast<uint32_t>(frames - done < kBlockFrames ? frames - done : kBlockFrames);
        float* block = out + 2 * done;
        for (int i = 0; i < player->channelCount; i += 2) {
            PlayerChannel* second =
                i + 1 < player->channelCount ? &player->channels[i + 1] : nullptr;
            mixChannelPair(player, &player->channels[i], second, block, n);
        }
    }
    const float gain = player->amplification * player->globalVolume;
    const uint64_t values = 2 * static_cast<uint64_t>(frames);
    uint64_t k = 0;
    // Groups of four let the compiler use vector instructions.
    for (; k + 4 <= values; k += 4) {
        out[k] *= gain;
        out[k + 1] *= gain;
        out[k + 2] *= gain;
        out[k + 3] *= gain;
    }
    for (; k < values; ++k) {
        out[k] *= gain;
    }
}

// Frames from here up to (not including) the next tick, at most `limit`; consumes their
// share of the tick length as the per-frame test would, one subtraction of 1 per frame.
// Below 2^24 those subtractions are exact until the one that reaches 0 or less, so the count
// and the final value follow directly; other values take the frame-by-frame way.
uint32_t framesUntilTick(ModulePlayer* player, uint32_t limit) {
    const float s = player->samplesUntilTick;
    if (s > 0.0f && s < 16777216.0f) {
        const uint32_t whole = static_cast<uint32_t>(std::ceil(s));
        if (whole <= limit) {
            const float last = s - static_cast<float>(whole - 1);
            player->samplesUntilTick = last - 1.0f;
            return whole;
        }
        player->samplesUntilTick = s - static_cast<float>(limit);
        return limit;
    }
    uint32_t n = 0;
    do {
        player->samplesUntilTick -= 1.0f;
        ++n;
    } while (n < limit && player->samplesUntilTick > 0.0f);
    return n;
}

uint32_t render(ModulePlayer* player, float* out, uint32_t frames, bool stopAtSilence) {
    uint32_t done = 0;
    while (done < frames) {
        if (player->samplesUntilTick <= 0.0f) {
            playerTick(player);
        }
        if (stopAtSilence && loopLimitSilences(player)) {
            player->samplesUntilTick -= 1.0f;
            out[2 * done] = 0.0f;
            out[2 * done + 1] = 0.0f;
            return done;
        }
        const uint32_t n = framesUntilTick(player, frames - done);
        mixFrames(player, out + 2 * static_cast<size_t>(done), n);
        done += n;
    }
    return done;
}

} // namespace

void generateSamples(ModulePlayer* player, float* out, uint32_t frames) {
    render(player, out, frames, false);
}

uint32_t generateSamplesUntilSilenced(ModulePlayer* player, float* out, uint32_t frames) {
    return render(player, out, frames, true);
}
