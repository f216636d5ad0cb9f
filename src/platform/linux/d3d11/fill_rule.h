// Direct3D's top-left fill rule on OpenGL.
//
// A pixel whose centre lies exactly on a horizontal edge belongs to the triangle below the
// edge in Direct3D; OpenGL rasterizers with the upper-left clip origin give it to the one
// above. Every viewport is drawn one subpixel step higher (applyViewportShift), which moves
// horizontal edges off the pixel centres onto the side Direct3D picks, and pixel programs
// read their interpolated inputs one step lower (readInputsBeforeTheShift) so that every
// value is still the one at the pixel's centre. Positions are snapped to the subpixel grid,
// so the step moves no other horizontal or vertical edge across a centre: axis-aligned quads
// (glyphs, particles, bars, full-screen passes) cover exactly Direct3D's pixels.
//
// What the step still moves: a sloped edge by 1/256 pixel (a centre that close below it
// changes sides, about one pixel per 256 pixels of the edge's width, and a centre exactly on
// a sloped edge whose x grows downward goes to the triangle below it); depth (gl_FragCoord.z
// and the depth test) by the same step. Drivers that round viewport origins or offsets to
// coarser steps (GL_VIEWPORT_SUBPIXEL_BITS, GL_FRAGMENT_INTERPOLATION_OFFSET_BITS) lose the
// move or its cancellation; llvmpipe honours both to the float.
//
//   float step = rasterStep();                           // once per context
//   std::string glsl = readInputsBeforeTheShift(text, step);  // pixel programs
//   glViewportIndexedf(i, x, y - step, width, height);
#pragma once

#include <string>

namespace quavel::d3d11 {

// The rasterizer's subpixel step in pixels, from GL_SUBPIXEL_BITS (current context).
float rasterStep();

// The pixel program's text with every smooth or noperspective float input read through
// interpolateAtOffset at (0, -step): the value at the centre of the unshifted geometry.
// Flat and integer inputs and gl_FragCoord are left as they are.
std::string readInputsBeforeTheShift(const std::string& glsl, float step);

} // namespace quavel::d3d11
