#include "render.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kBlockFrames = 4096;
constexpr uint32_t kProgressEvery = 64; // blocks

} // namespace

RenderResult renderModule(ModulePlayer* player, const RenderPlan& plan, const FrameSink& sink,
                          const ProgressReport& progress) {
    setLoopLimit(player, plan.loopLimit);
    std::vector<float> block(2 * kBlockFrames);
    RenderResult result;
    uint64_t rendered = 0;
    const uint64_t end =
        plan.maxFrames == UINT64_MAX ? UINT64_MAX : plan.skipFrames + plan.maxFrames;
    for (uint64_t blocks = 0; rendered < end; ++blocks) {
        // Blocks end where delivery starts, so the skipped part never reaches the sink.
        uint64_t want = std::min<uint64_t>(kBlockFrames, end - rendered);
        if (rendered < plan.skipFrames) {
            want = std::min<uint64_t>(want, plan.skipFrames - rendered);
        }
        const uint32_t n = static_cast<uint32_t>(want);
        uint32_t got = n;
        if (plan.loopLimit != 0) {
            got = generateSamplesUntilSilenced(player, block.data(), n);
        } else {
            generateSamples(player, block.data(), n);
        }
        if (rendered >= plan.skipFrames && got > 0) {
            if (!sink(block.data(), got)) {
                result.sinkFailed = true;
                return result;
            }
            result.frames += got;
        }
        rendered += got;
        if (progress && blocks % kProgressEvery == 0) {
            progress(rendered);
        }
        if (got < n) {
            result.songEnded = true;
            break;
        }
    }
    if (progress) {
        progress(rendered);
    }
    return result;
}

uint64_t songLengthFrames(const void* module, size_t size, uint32_t rate, uint64_t capFrames,
                          bool* ended) {
    ModulePlayer* player = nullptr;
    *ended = false;
    if (createModulePlayer(&player, module, size, rate) != kPlayerOk) {
        return 0;
    }
    RenderPlan plan;
    plan.loopLimit = 1;
    plan.maxFrames = capFrames;
    const RenderResult result =
        renderModule(player, plan, [](const float*, uint32_t) { return true; });
    destroyModulePlayer(player);
    *ended = result.songEnded;
    return result.frames;
}
