// The show's entry function: start-up, the frame loop driven by the sound card's clock (the
// system's when there is no sound card), and the orderly end with exit code 1, or 2 when the
// graphics device is lost while it plays. With `--edit [HOST:PORT]` the show follows the sync
// editor (see live_edit.h) and, where the show can compile its shader programs, swaps in every
// program whose HLSL is saved in `--shaders DIR` (live_shaders.h); its messages go to the
// console it was started from or to a log file (edit_messages.h). `--check [FOLDER]` runs the
// self-check instead (self_check.h). With QUAVEL1_READ_BACK=FOLDER in the environment every
// drawn frame is also read back into FOLDER/frame_NNNNNN.rgba (N the frame counter; 1600 x 900
// RGBA, top row first, replaced whole), so tests can look at what the window shows.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/back_buffer_reader.h"
#include "app/check/self_check.h"
#include "app/edit_messages.h"
#include "app/frame_loop.h"
#include "app/live_edit.h"
#ifdef QUAVEL_LIVE_SHADERS
#include "app/live_shaders.h"
#endif
#include "app/render_folder.h"
#include "app/show.h"
#include "app/show_arguments.h"
#include "app/silent_clock.h"
#include "files/output_file.h"
#include "platform/parent_console.h"
#include "platform/startup_failure.h"

namespace {

constexpr const char* kUsage =
    "usage: quavel1 [--edit [HOST:PORT] [--shaders DIR] | --check [FOLDER]]\n"
    "  (no option)        play the show\n"
    "  --edit [HOST:PORT] follow the sync editor (default localhost:1338); without a console\n"
    "                     its messages go to quavel1-edit.log (beside DIR, or here)\n"
#ifdef QUAVEL_LIVE_SHADERS
    "  --shaders DIR      with --edit: compile the shader programs from DIR and swap in\n"
    "                     each saved program (without it they are the built-in ones)\n"
#endif

    "  --check [FOLDER]   check that the show draws right on this machine: render its golden\n"
    "                     moments offscreen, compare them with the references linked in, time\n"
    "                     the shader programs and every pass on the GPU; frames and report go\n"
    "                     to FOLDER (default: a new quavel1-check-DATE-TIME folder here).\n"
    "                     Exit 0: all match; 1: something differs; 2: the check cannot run\n";

// Where the editor's save goes: beside where the show was started, not into the sources.
constexpr const char* kSavePath = "show_keys_data.saved.cpp";

void writeReadBack(BackBufferReader& reader, const std::string& folder, std::uint32_t frame) {
    std::vector<std::uint8_t> rgba;
    std::string error;
    if (reader.read(rgba))
        files::writeWholeFile(folder + "/" + frameFileName(frame, ".rgba"), rgba.data(),
                              rgba.size(), {}, &error);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static DemoApp app; // large (the audio ring is inside); lives until the process ends
    std::string error;
#ifdef QUAVEL_LIVE_SHADERS
    constexpr bool kLiveShaders = true;
#else
    constexpr bool kLiveShaders = false;
#endif
    // WinMain's narrow command line is neither split nor Unicode: the arguments are read
    // again from the wide one, split as the C runtime splits them.
    const ShowArguments arguments = parseShowArguments(processArguments(), kLiveShaders);
    if (arguments.help) {
        attachParentConsole();
        std::printf("%s", kUsage);
        return 0;
    }
    if (!arguments.error.empty()) {
        reportStartupFailure("quavel1", arguments.error + " (usage: quavel1 [--edit [HOST:PORT] "
                                                          "[--shaders DIR] | --check [FOLDER]])");
        return 2;
    }
    const bool edit = arguments.edit;
    const std::string& address = arguments.address;
    [[maybe_unused]] const std::string& shaders = arguments.shaders; // --edit with live shaders
    if (arguments.check)
        return runSelfCheck(arguments.checkFolder);
    std::string host;
    std::uint16_t port = 0;
    const std::string editLog = edit ? routeEditMessages(shaders) : std::string();
    if (edit && !parseEditorAddress(address, host, port, error)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
    if (!startShowGraphics(app, error, WindowShown::OnScreen, kFullSize)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
    if (!app.softwareNote.empty())
        reportStartupNote("quavel1", app.softwareNote);
    if (!startShowAudio(app, error)) {
        reportStartupFailure("quavel1", error);
        shutdownShow(app);
        return 2;
    }
    FrameLoopHooks hooks;
    std::unique_ptr<BackBufferReader> reader;
    if (const char* folder = std::getenv("QUAVEL1_READ_BACK"); folder && *folder) {
        reader =
            std::make_unique<BackBufferReader>(app.device, app.immediateContext, app.swapChain);
        hooks.drawn = [&reader, path = std::string(folder)](std::uint32_t frame) {
            writeReadBack(*reader, path, frame);
        };
    }
    ShowPicture picture(app);
    Playhead playhead(picture, kSeekGridFps);
    // Without a sound card the show keeps time by the system clock, under the same rules.
    SilentClock silent;
    const bool silentShow = app.audio.device == nullptr;
    if (silentShow)
        reportStartupNote("quavel1", "no audio device: the show runs silent, timed by the "
                                     "system clock");
    // Hidden only now, after every notice and failure a message box may have to show.
    ShowCursor(FALSE);
    FrameLoopResult played;
    if (!edit) {
        played = runFrameLoop(
            app, playhead,
            [&](const DemoApp& a) { return silentShow ? silent.seconds() : showClock(a); }, hooks);
    } else {
        LiveEdit live(app.timeline, app.audio, playhead, kSavePath);
        live.start(host, port);
        hooks.betweenFrames = [&live] { live.betweenFrames(); };
#ifdef QUAVEL_LIVE_SHADERS
        // A swap lands between frames; a held frame is drawn again with it on the next one.
        LiveShaders liveShaders(app, shaders, editLog);
        if (!liveShaders.start(error)) {
            ShowCursor(TRUE);
            reportStartupFailure("quavel1", error);
            shutdownShow(app);
            return 2;
        }
        hooks.betweenFrames = [&live, &liveShaders] {
            live.betweenFrames();
            liveShaders.betweenFrames();
        };
        // The broken-program band goes over the finished frame, before it is read back.
        hooks.drawn = [&liveShaders, readBack = hooks.drawn](std::uint32_t frame) {
            liveShaders.drawn();
            if (readBack)
                readBack(frame);
        };
#endif
        played = runFrameLoop(
            app, playhead, [](const DemoApp& a) { return audioSongSeconds(a.audio); }, hooks);
    }
    ShowCursor(TRUE);
    shutdownShow(app);
    if (!played.deviceLost.empty()) {
        reportStartupFailure("quavel1", played.deviceLost);
        return 2;
    }
    return 1;
}
