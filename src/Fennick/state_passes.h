// Which passes of a graph carry state from one frame into later ones, so that a frame far
// into a run can be reproduced by running only those passes for every earlier frame.
//
//   std::vector<bool> keep = passesCarryingState(graph); // one flag per entry of graph.passes
//   graph.executeStateFrame();                           // runs the kept passes only
//
// A resource carries state when a frame reads it before any pass of that frame has wholly
// rewritten it (only a draw pass that clears a single-buffered render target rewrites it
// wholly), or when it is double-buffered (the other copy is last frame's). A pass is kept
// when it writes such a resource, or writes something a kept pass reads later in the frame.
#pragma once

#include <set>
#include <vector>

#include "Fennick/graph_runtime.h"

namespace Fennick::gfx {

std::vector<bool> passesCarryingState(const GraphRuntime& graph);

// Every resource some pass of the graph writes (render, depth and compute outputs).
std::set<const Resource*> resourcesPassesWrite(const GraphRuntime& graph);

} // namespace Fennick::gfx
