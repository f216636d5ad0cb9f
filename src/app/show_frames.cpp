// The show's graph and frames over the device, apart from the window and the audio in
// show.cpp: every platform's show runs these, the browser's too (src/platform/web/entry).
#include <algorithm>
#include <cstring>

#include "Fennick/creation_check.h"
#include "Fennick/frame_context.h"
#include "Fennick/graph_runtime.h"
#include "Fennick/texture_runtime.h"
#include "app/show.h"
#include "demo/build_demo.h"
#include "maths/camera_math.h"

// The programs are bytecode by now (prepareShaderCode ran before the window was made).
bool buildShowGraph(DemoApp& app, std::string& error, float renderScale) {

    // Every object made from here to the end of the graph is checked once, now; nothing is
    // checked per frame.
    Fennick::gfx::CreationCheck check;
    ContextInit init{};
    init.device = app.device;
    init.context = app.immediateContext;
    initFrameContext(init);

    app.timeline.freeTracks();
    app.timeline.bpm = 120.0f;
    app.timeline.rowsPerBeat = 8;

    buildDemo(app, kShowWidth, kShowHeight, renderScale);

    // The final pass draws into the presentation texture's render-target view; putting the
    // back buffer's view there makes it draw into the window. The texture's own view is then
    // of no use and is released; the texture holds a reference of its own to the back
    // buffer's view in its place.
    Fennick::gfx::setCreationSubject("the final copy pass");
    app.engine->finalize(renderScale);
    if (!check.passed()) {
        error = check.firstFailure();
        if (check.failures() > 1)
            error += " (" + std::to_string(check.failures() - 1) + " more objects failed)";
        return false;
    }
    Fennick::gfx::TextureRuntime* presentation = app.engine->output;
    if (presentation->rtvA != nullptr)
        presentation->rtvA->Release();
    app.backBufferView->AddRef();
    presentation->rtvA = app.backBufferView;
    return true;
}

namespace {

// Camera, frame context and parameters of the frame at `time`: everything before the engine.
void prepareShowFrame(DemoApp& app, float time, std::uint32_t frame, float elapsedTime) {
    const SyncTimeline& t = app.timeline;
    float camera[8];
    for (std::uint32_t i = 0; i < 8; ++i)
        camera[i] = i < t.tracks.size() ? t.evaluate(i, time) : 0.0f;
    CameraMatrices matrices = cameraFromTracks(
        {camera[0], camera[1], camera[2]}, {camera[3], camera[4], camera[5]}, camera[6], camera[7]);

    ContextData data{};
    data.time = time;
    data.frame = frame;
    data.elapsedTime = elapsedTime;
    data.resolution[0] = static_cast<float>(kShowWidth);
    data.resolution[1] = static_cast<float>(kShowHeight);
    data.modelView = matrices.modelView;
    data.projection = matrices.projection;
    updateFrameContext(data);

    // Track i drives parameter i; a graph with fewer parameters than tracks only takes as
    // many as it has.
    auto& params = app.engine->params.list;
    const std::size_t count = std::min(t.tracks.size(), params.size());
    for (std::size_t i = 0; i < count; ++i) {
        float value = t.evaluate(static_cast<std::uint32_t>(i), time);
        std::memcpy(params[i].value, &value, sizeof value);
    }
}

} // namespace

void renderShowFrame(DemoApp& app, float time, std::uint32_t frame, float elapsedTime) {
    app.lastFrame = {time, frame, elapsedTime, frameContextData()};
    prepareShowFrame(app, time, frame, elapsedTime);
    app.engine->executeFrame();
}

void advanceShowState(DemoApp& app, float time, std::uint32_t frame, float elapsedTime) {
    app.lastFrame = {time, frame, elapsedTime, frameContextData()};
    prepareShowFrame(app, time, frame, elapsedTime);
    app.engine->executeStateFrame();
}

void redrawLastShowFrame(DemoApp& app) {
    const FrameInputs last = app.lastFrame;
    frameContext().data = last.contextBefore;
    app.engine->rewindFrame();
    renderShowFrame(app, last.time, last.frame, last.elapsedTime);
}

void restartShowState(DemoApp& app) {
    app.engine->restart();
    frameContext().data = ContextData{};
    app.lastFrame = {};
}
