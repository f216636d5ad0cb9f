// Sample generation: ticks when due, every active voice into the frame, gain, loop limit.
//
// Frames between two ticks are rendered group by group of channels into the output, which
// serves as the accumulator: each frame still receives the channels in index order, so the
// sums are the same as frame-by-frame mixing, but the voices run in tight loops.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "music/frame_gain.h"
#include "music/module_player.h"
#include "music/sequencer.h"
#include "music/voice.h"
#include "music/voice_group.h"
#include "music/voice_kernels.h"
#include "music/voice_ramp.h"

namespace {

// Frames of a group whose voices are not all steady are rendered in passes of at most this
// many: each voice's contribution is built in a buffer of this size and then added.
constexpr uint32_t kBlockFrames = 128;
// Frames a group of steady voices runs in one go.
constexpr uint32_t kSteadyFrames = 4096;

void addValues(float* sums, const float* values, uint32_t count) {
    uint32_t i = 0;
    // Groups of four let the compiler use vector instructions.
    for (; i + 4 <= count; i += 4) {
        sums[i] = sums[i] + values[i];
        sums[i + 1] = sums[i + 1] + values[i + 1];
        sums[i + 2] = sums[i + 2] + values[i + 2];
        sums[i + 3] = sums[i + 3] + values[i + 3];
    }
    for (; i < count; ++i) {
        sums[i] = sums[i] + values[i];
    }
}

// The first frames of a group's pass, up to the point where every voice that goes on is
// steady (at most `limit`, at most kBlockFrames): each voice's contribution is built in a
// buffer, then the buffers are added to the frames in channel order. A voice that stopped
// adds nothing, which leaves the sums unchanged; they are stored as `store` says. Returns the
// frames done; 0 only when every voice is steady already.
uint32_t mixGroupStart(const ModulePlayer* player, PlayerChannel** voices, int count, float* out,
                       uint32_t limit, GroupStore store) {
    float buffers[kGroupVoices][2 * kBlockFrames];
    uint32_t ends[kGroupVoices];
    bool steadyAt[kGroupVoices];
    uint32_t reach = 0;
    for (int k = 0; k < count; ++k) {
        ends[k] = mixChangingFrames(voices[k], player->rampStep, buffers[k], limit, kBlockFrames,
                                    &steadyAt[k]);
        reach = ends[k] > reach ? ends[k] : reach;
    }
    for (int k = 0; k < count; ++k) {
        if (steadyAt[k] && ends[k] < reach) {
            ends[k] = runSteadyVoice(voices[k], buffers[k], ends[k], reach);
        }
    }
    if (store.fresh) {
        std::fill(out, out + 2 * static_cast<size_t>(reach), 0.0f);
    }
    // Voice by voice over the frames: each value still receives the voices in channel order.
    for (int k = 0; k < count; ++k) {
        addValues(out, buffers[k], 2 * ends[k]);
    }
    if (store.gain != 1.0f) {
        applyGain(out, 2 * static_cast<uint64_t>(reach), store.gain);
    }
    return reach;
}

// Channels [first, first + count) over `frames` frames, added to the frames in channel order
// and stored as `store` says (frames no voice reaches as storeUnreached() does). Returns false when
// no channel of the group was active, so nothing was added.
bool mixGroup(const ModulePlayer* player, PlayerChannel* first, int count, float* out,
              uint32_t frames, GroupStore store) {
    uint32_t f = 0;
    while (f < frames) {
        PlayerChannel* voices[kGroupVoices];
        int active = 0;
        for (int k = 0; k < count; ++k) {
            if (voiceActive(&first[k])) {
                voices[active++] = &first[k];
            }
        }
        if (active == 0) {
            storeUnreached(out + 2 * static_cast<size_t>(f), frames - f, store);
            return f > 0;
        }
        const uint32_t left = frames - f;
        const uint32_t span = left < kSteadyFrames ? left : kSteadyFrames;
        bool allSteady = true;
        for (int k = 0; k < active; ++k) {
            allSteady = allSteady && voiceSteady(voices[k], span);
        }
        if (!allSteady) {
            const uint32_t limit = left < kBlockFrames ? left : kBlockFrames;
            const uint32_t done = mixGroupStart(player, voices, active,
                                                out + 2 * static_cast<size_t>(f), limit, store);
            if (done > 0) {
                f += done;
                continue;
            }
        }
        // Steady for the span, or (a voice's ramp frame near its limit) for a short block.
        const uint32_t run = allSteady ? span : (left < kBlockFrames ? left : kBlockFrames);
        mixSteadyGroup(voices, active, out + 2 * static_cast<size_t>(f), run, store);
        f += run;
    }
    return true;
}

void mixFrames(ModulePlayer* player, float* out, uint32_t frames) {
    // Frames no voice reached stay +0 under a gain of 0 or more. Then the first group of
    // channels writes the frames itself (sums from +0, +0 where no voice sounds), the others
    // add to them, and the last applies the gain as it stores them; otherwise the frames are
    // cleared first and a pass applies the gain after every group.
    const float gain = player->amplification * player->globalVolume;
    const bool gainKeepsZero = gain >= 0.0f && std::isfinite(gain);
    const bool groupsStore = gainKeepsZero && player->channelCount >= 1;
    if (!groupsStore || loopLimitSilences(player)) {
        std::memset(out, 0, sizeof(float) * 2 * frames);
        if (loopLimitSilences(player)) {
            return;
        }
    }
    // Channels in groups, each group added to the frames after the one before it.
    bool mixed = false;
    for (int i = 0; i < player->channelCount; i += kGroupVoices) {
        const int count =
            player->channelCount - i < kGroupVoices ? player->channelCount - i : kGroupVoices;
        const bool last = i + count == player->channelCount;
        const GroupStore store =
            groupsStore ? GroupStore{last ? gain : 1.0f, i == 0} : GroupStore{};
        mixed = mixGroup(player, &player->channels[i], count, out, frames, store) || mixed;
    }
    if (!groupsStore && (mixed || !gainKeepsZero)) {
        applyGain(out, 2 * static_cast<uint64_t>(frames), gain);
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

void skipSamples(ModulePlayer* player, uint64_t frames) {
    // Mixing into a scratch block: the voice kernels step positions four frames at a time,
    // which a state-only walk frame by frame did not beat (it measured four times slower),
    // and the mixed path leaves the state exactly as playing does by construction.
    constexpr uint32_t kScratchFrames = 4096;
    float scratch[2 * kScratchFrames];
    while (frames > 0) {
        const uint32_t n = frames > kScratchFrames ? kScratchFrames : static_cast<uint32_t>(frames);
        render(player, scratch, n, false);
        frames -= n;
    }
}
