#include "Fennick/state_passes.h"

#include <set>

#include "Fennick/compute_pass_runtime.h"
#include "Fennick/draw_pass_runtime.h"
#include "Fennick/texture_runtime.h"

namespace Fennick::gfx {

namespace {

// What one pass reads, writes, and wholly rewrites (cleared single-buffered targets).
struct PassAccess {
    std::vector<const Resource*> reads, writes, rewrites;
};

PassAccess accessOf(const PassEntry& entry) {
    PassAccess a;
    if (entry.kind == PassKind::Compute && entry.compute) {
        for (const ResourceBinding& b : entry.compute->desc.inputs)
            a.reads.push_back(b.resource);
        for (const ResourceBinding& b : entry.compute->desc.outputs)
            a.writes.push_back(b.resource);
    } else if (entry.kind == PassKind::Draw && entry.draw) {
        const DrawPassDesc& d = entry.draw->desc;
        for (const ResourceBinding& b : d.inputs)
            a.reads.push_back(b.resource);
        std::vector<const Resource*> targets;
        for (const RenderTargetBinding& t : d.renderTargets)
            targets.push_back(t.texture);
        if (d.depth)
            targets.push_back(d.depthTarget.texture);
        for (const Resource* t : targets) {
            a.writes.push_back(t);
            // Without a clear, blending and uncovered pixels keep what the target held.
            if (!d.clear)
                a.reads.push_back(t);
            else if (t && !t->doubleBuffered)
                a.rewrites.push_back(t);
        }
    }
    return a;
}

} // namespace

std::set<const Resource*> resourcesPassesWrite(const GraphRuntime& graph) {
    std::set<const Resource*> written;
    for (const PassEntry& entry : graph.passes)
        for (const Resource* r : accessOf(entry).writes)
            written.insert(r);
    return written;
}

std::vector<bool> passesCarryingState(const GraphRuntime& graph) {
    std::vector<PassAccess> access;
    for (const PassEntry& entry : graph.passes)
        access.push_back(accessOf(entry));

    // Resources whose content at the start of a frame matters.
    std::set<const Resource*> carried, rewritten;
    for (const PassAccess& a : access) {
        for (const Resource* r : a.reads)
            if (r && (r->doubleBuffered || !rewritten.count(r)))
                carried.insert(r);
        for (const Resource* r : a.writes)
            if (r && r->doubleBuffered)
                carried.insert(r);
        rewritten.insert(a.rewrites.begin(), a.rewrites.end());
    }

    // Backwards through the frame: a pass is kept when it writes a carried resource or one
    // that a kept pass after it reads.
    std::set<const Resource*> needed = carried;
    std::vector<bool> keep(access.size(), false);
    for (std::size_t i = access.size(); i-- > 0;) {
        for (const Resource* r : access[i].writes)
            if (r && needed.count(r))
                keep[i] = true;
        if (keep[i])
            for (const Resource* r : access[i].reads)
                if (r)
                    needed.insert(r);
    }
    return keep;
}

} // namespace Fennick::gfx
