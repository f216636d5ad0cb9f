// Sample generation: ticks when due, every active voice into the frame, gain, loop limit.
//
// Frames between two ticks are rendered channel by channel into the output, which serves as
// the accumulator: each frame still receives the channels in index order, so the sums are
// the same as frame-by-frame mixing, but each voice runs in a tight loop of its own.
#include <cstring>

#include "music/module_player.h"
#include "music/sequencer.h"
#include "music/voice.h"
#include "music/voice_position.h"

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

bool steady(const PlayerChannel* c) {
    return c->rampFrame >= kCrossfadeFrames && c->actualVolume[0] == c->targetVolume[0] &&
           c->actualVolume[1] == c->targetVolume[1] && c->sample->length != 0;
}

// Frames of a voice whose volumes and crossfade are settled: no ramp, no blend.
template <typename Value, LoopType Loop>
uint32_t mixSteadyVoice(PlayerChannel* c, float* out, uint32_t frames) {
    const ModuleSample* sample = c->sample;
    const float left = c->actualVolume[0];
    const float right = c->actualVolume[1];
    PlayerChannel voice = *c;
    uint32_t f = 0;
    while (f < frames) {
        const float value = voiceValueAt<Value>(sample, voice.position);
        out[2 * f] += value * left;
        out[2 * f + 1] += value * right;
        ++f;
        if (Loop == ForwardLoop) {
            advanceForwardLoop(&voice, sample);
        } else if (Loop == PingPongLoop) {
            advancePingPongLoop(&voice, sample);
        } else {
            advanceNoLoop(&voice, sample);
        }
        if (voice.position < 0.0f) {
            break;
        }
    }
    c->position = voice.position;
    c->pingForward = voice.pingForward;
    c->rampFrame += f;
    return f;
}

template <typename Value>
uint32_t mixSteadyVoiceOfType(PlayerChannel* c, float* out, uint32_t frames) {
    switch (c->sample->loopType) {
    case ForwardLoop:
        return mixSteadyVoice<Value, ForwardLoop>(c, out, frames);
    case PingPongLoop:
        return mixSteadyVoice<Value, PingPongLoop>(c, out, frames);
    default:
        return mixSteadyVoice<Value, NoLoop>(c, out, frames);
    }
}

void mixChannel(const ModulePlayer* player, PlayerChannel* c, float* out, uint32_t frames) {
    uint32_t f = 0;
    while (f < frames && voiceActive(c)) {
        if (steady(c)) {
            // rampFrame counts on; a run never lets it wrap past 2^32 in one go.
            uint32_t run = frames - f;
            const uint32_t headroom = UINT32_MAX - c->rampFrame;
            run = run < headroom ? run : headroom;
            if (run > 0) {
                f += c->sample->bits == 16 ? mixSteadyVoiceOfType<int16_t>(c, out + 2 * f, run)
                                           : mixSteadyVoiceOfType<int8_t>(c, out + 2 * f, run);
                continue;
            }
        }
        const float value = nextVoiceSample(c);
        out[2 * f] += value * c->actualVolume[0];
        out[2 * f + 1] += value * c->actualVolume[1];
        ++c->rampFrame;
        rampVolume(&c->actualVolume[0], c->targetVolume[0], player->rampStep);
        rampVolume(&c->actualVolume[1], c->targetVolume[1], player->rampStep);
        ++f;
    }
}

void mixFrames(ModulePlayer* player, float* out, uint32_t frames) {
    std::memset(out, 0, sizeof(float) * 2 * frames);
    if (loopLimitSilences(player)) {
        return;
    }
    for (int i = 0; i < player->channelCount; ++i) {
        PlayerChannel* channel = &player->channels[i];
        if (voiceActive(channel)) {
            mixChannel(player, channel, out, frames);
        }
    }
    const float gain = player->amplification * player->globalVolume;
    for (uint32_t k = 0; k < 2 * frames; ++k) {
        out[k] *= gain;
    }
}

// Frames from here up to (not including) the next tick, at most `limit`; consumes their
// share of the tick length frame by frame, as the per-frame test would.
uint32_t framesUntilTick(ModulePlayer* player, uint32_t limit) {
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
