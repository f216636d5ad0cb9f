// quavel1 --check [FOLDER]: tells whether the show draws right on this machine.
//
//     return runSelfCheck(folder);   // from the entry function; "" for a new folder here
//
// It names the adapter, driver version and feature level; creates every shader program
// (compiling it first where the build links HLSL source) and times each; builds the graph;
// renders the golden-frame moments offscreen on the capture's frame grid (the frames before
// them replayed, no window shown, no sound) and compares each with the linked reference by
// its tile means, reporting apart the tiles known to vary by GPU; and times every pass of
// those frames on the GPU. The frames (PNG) and the report go into FOLDER.
//
// Exit codes: 0 every moment matches; 1 some moment differs; 2 the check cannot run (the
// folder, the device, a shader program, the graph or the read-back fails).
#pragma once

#include <string>

int runSelfCheck(const std::string& folder);

// The folder a check without one writes into: quavel1-check-YYYYMMDD-HHMMSS in the current
// directory (with -2, -3, ... when that exists).
std::string newCheckFolderName();
