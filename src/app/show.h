// The show's start-up, one frame and shutdown, shared by the show itself and by the capture
// tool, which drives the same frames from a fixed-step clock instead of the sound card.
#pragma once

#include <cstdint>
#include <string>

#include "app/demo_app.h"
#include "app/playhead.h"
#include "app/window_device.h"

// Start-up up to the audio: the shaders (where they are compiled at start-up), the window and
// the device (feature level 11_0, on WARP when the hardware offers less: app.softwareNote says
// so), the frame context with the six samplers, an empty timeline, the demo graph, and the
// engine's final pass drawing into the back buffer. Every object made is checked once. On failure
// returns false with a one-line reason in `error` naming what failed (nothing of the show can run).
//
// renderScale below 1 draws a smaller picture for quick looks on slow machines: the back buffer
// and every render target are made at that fraction of their size, and the viewports follow
// the targets. The shaders still read the resolution 1600 x 900: they use it as the unit of the
// show's layout (the logos at their native pixel size, glyph widths, the scroller's start, the
// explosion dots), so keeping it makes the small picture the full one shrunk, not rearranged.
bool startShowGraphics(DemoApp& app, std::string& error, WindowShown shown, float renderScale);

// The steps of startShowGraphics after prepareShaderCode (platform/shader_code.h), which runs
// first: the window and device; then the frame context, the timeline, the graph and its final
// pass.
bool startShowDevice(DemoApp& app, std::string& error, WindowShown shown, float renderScale);
bool buildShowGraph(DemoApp& app, std::string& error, float renderScale);

// Opens the audio device and starts the music thread over the embedded module. Without an
// audio device the show runs silent and its clock stays at 0; this is not a failure. Returns
// false only when the audio thread cannot be started.
bool startShowAudio(DemoApp& app, std::string& error);

// Reads the wave-out device's play position in bytes (0 when there is no device).
std::uint32_t audioBytesPlayed(const DemoApp& app);
// The show's clock: that position in seconds (whole sample frames).
float showClock(const DemoApp& app);

// Renders the frame at `time`: the camera from tracks 0 to 7, the frame context, every track
// into its parameter, and the engine frame. Does not present.
void renderShowFrame(DemoApp& app, float time, std::uint32_t frame, float elapsedTime);

// The same frame without the picture: the frame context (last-frame matrices included) and
// only the passes whose results later frames read (the pyramid, the particles, the message
// layout). Frames advanced this way leave the show where rendering them would have.
void advanceShowState(DemoApp& app, float time, std::uint32_t frame, float elapsedTime);

// Draws the last frame again from the state it started from, with the tracks as they are
// now: a clock that stands shows a still picture (in which key edits still show).
void redrawLastShowFrame(DemoApp& app);

// Puts the picture's frame-to-frame state back to that of a show that has drawn nothing yet
// (the state resources as created, the frame context as start-up leaves it), so that frames
// run from 0 again come out as in a freshly started show.
void restartShowState(DemoApp& app);

// The show's frames as a playhead moves them (playhead.h).
class ShowPicture final : public PlayheadPicture {
public:
    explicit ShowPicture(DemoApp& app) : app_(app) {}
    void draw(float time, std::uint32_t frame, float elapsedTime) override {
        renderShowFrame(app_, time, frame, elapsedTime);
    }
    void advanceState(float time, std::uint32_t frame, float elapsedTime) override {
        advanceShowState(app_, time, frame, elapsedTime);
    }
    void redrawLast() override { redrawLastShowFrame(app_); }
    void restart() override { restartShowState(app_); }

private:
    DemoApp& app_;
};

// Stops the audio thread, closes the device, releases the player and frees the tracks.
void shutdownShow(DemoApp& app);
