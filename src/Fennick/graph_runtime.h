// The render graph of the show in one object: named shader parameters, the GPU resources,
// draw and compute passes registered by id, the ordered pass list run every frame, the
// texture with the final picture and the first-frame flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Fennick/id_map.h"
#include "Fennick/param_block.h"

namespace Fennick::gfx {

class Resource;
class TextureRuntime;
struct DrawPassRuntime;
struct ComputePassRuntime;

enum class PassKind : std::int32_t {
    Compute = 0,
    Draw = 1,
};

enum RunCondition : std::uint32_t {
    EveryFrame = 0,
    FirstFrame = 1, // only while the graph's firstFrame flag is 1
    // any other value: never
};

// Whether a pass with `condition` runs in a frame with the given first-frame flag.
inline bool runConditionHolds(std::uint32_t condition, std::uint8_t firstFrame) {
    return condition == EveryFrame || (condition == FirstFrame && firstFrame == 1);
}

struct PassEntry {
    PassKind kind; // entries of any other kind are skipped
    DrawPassRuntime* draw;
    ComputePassRuntime* compute;
};

// Told around every pass a frame runs (for example to time it on the GPU); it sees the pass's
// index in `passes` and changes nothing of what the pass does.
class PassObserver {
public:
    virtual void passStarts(std::size_t index) = 0;
    virtual void passEnds(std::size_t index) = 0;

protected:
    ~PassObserver() = default;
};

class GraphRuntime {
public:
    ParamBlock params; // the frame loop writes the values; only its list is used
    IdMap<Resource> resources;
    IdMap<DrawPassRuntime> drawPasses;
    IdMap<ComputePassRuntime> computePasses;
    TextureRuntime* output = nullptr;
    std::vector<PassEntry> passes;
    std::uint8_t firstFrame = 0;
    ParamBlock frameParams;               // the per-frame packed copy of params
    PassObserver* passObserver = nullptr; // none unless someone watches the passes

    // Appends the engine's final copy pass into a 1600 x 900 presentation texture (times
    // renderScale, rounded as texture_layout.h says), which becomes the new output. Called
    // once after the graph is built.
    void finalize(float renderScale);

    // Packs the parameters, runs every pass whose run condition holds, in list order, and
    // swaps the double-buffered resources. Returns output.
    TextureRuntime* executeFrame();

    // The same frame with only the passes that carry state into later frames
    // (state_passes.h): what a frame that is not looked at must still do so that the frames
    // after it come out as in a run that drew it.
    void executeStateFrame();

    // Back to the state of a graph that has run no frame: every resource a pass writes is
    // created again (its contents as new), double-buffered resources start from copy A, and
    // the first-frame passes run again. Images and data buffers, which no pass writes, stay.
    void restart();

    // Puts the frame state back to where the last frame started (double-buffered copies
    // turned back, the first-frame flag as it was), so that frame can run again: the picture
    // of a clock that stands. This holds for state kept in double-buffered resources and in
    // first-frame passes; a pass that reads and rewrites one single copy every frame would
    // not be turned back.
    void rewindFrame();

private:
    void runFrame(bool stateOnly);
    std::vector<bool> statePasses_;   // per entry of passes, worked out on first use
    std::uint8_t lastFirstFrame_ = 0; // the first-frame flag the last frame ran with
};

} // namespace Fennick::gfx
