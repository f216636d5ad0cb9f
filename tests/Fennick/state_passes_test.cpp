// Which passes a frame that is not looked at must still run, on a hand-made graph whose
// answer follows from the rule: keep what writes a resource a later frame reads, and what
// feeds such a pass earlier in the frame.
#include <gtest/gtest.h>

#include "Fennick/buffer_runtime.h"
#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/state_passes.h"
#include "Fennick/texture_runtime.h"

namespace Fennick::gfx {
namespace {

TEST(StatePasses, KeepsWhatLaterFramesReadAndWhatFeedsIt) {
    TextureRuntime t1, t2, t3, t4, t5;
    BufferRuntime state, layout;
    state.doubleBuffered = 1;

    auto draw = [](TextureRuntime& target, bool clear, Resource* input) {
        auto* pass = new DrawPassRuntime;
        pass->desc.clear = clear;
        pass->desc.renderTargets.push_back({&target, 1});
        if (input)
            pass->desc.inputs.push_back({Texture, input});
        return PassEntry{PassKind::Draw, pass, nullptr};
    };
    auto compute = [](Resource& output, std::vector<Resource*> inputs) {
        auto* pass = new ComputePassRuntime;
        pass->desc.outputs.push_back({Buffer, &output});
        for (Resource* r : inputs)
            pass->desc.inputs.push_back({Buffer, r});
        return PassEntry{PassKind::Compute, nullptr, pass};
    };

    GraphRuntime graph;
    graph.passes = {
        draw(t5, true, &layout),       // reads the layout a later pass writes: a picture
        draw(t1, true, nullptr),       // feeds the simulation below in the same frame
        compute(state, {&state, &t1}), // double-buffered state
        draw(t2, false, nullptr),      // never cleared: accumulates over frames
        draw(t3, true, &t2),           // pictures only from here on
        draw(t4, true, &t3),
        compute(layout, {}), // read by the first pass of the next frame
    };
    const std::vector<bool> expected = {false, true, true, true, false, false, true};
    EXPECT_EQ(passesCarryingState(graph), expected);

    for (PassEntry& e : graph.passes) {
        delete e.draw;
        delete e.compute;
    }
}

} // namespace
} // namespace Fennick::gfx
