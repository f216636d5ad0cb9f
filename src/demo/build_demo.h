// The show's render graph: 27 resources, 12 draw passes and 3 compute passes, their order,
// and the parameters and tracks that animate them. Resources 25 and 26 and draw passes 10 and
// 11 find the cells of the particle sprites that the glow blur can skip (glow_cells.hlsli).
#pragma once

struct DemoApp;

// Creates the graph (stored in app.engine), its parameters and ContextBuffer declaration, the
// tracks with their keys, every resource and pass and the pass list. Window-relative textures
// take the given size; the caller passes the window's 1600 x 900. Every render target, the
// fixed-size ones included, is made at renderScale times its size (texture_layout.h rounds);
// images, buffers and every count stay as they are.
void buildDemo(DemoApp& app, int windowWidth, int windowHeight, float renderScale);
