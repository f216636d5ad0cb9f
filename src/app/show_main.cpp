// The show's entry function: start-up, the frame loop driven by the sound card's clock, and
// the orderly end with exit code 1. With `--edit [HOST:PORT]` the show follows the sync
// editor (see live_edit.h) and, where the show can compile its shader programs, swaps in every
// program whose HLSL is saved in `--shaders DIR` (live_shaders.h); its messages go to the
// console it was started from or to a log file (edit_messages.h). `--check [FOLDER]` runs the
// self-check instead (self_check.h). With QUAVEL1_READ_BACK=FOLDER in the environment every
// drawn frame is also read back into FOLDER/frame_NNNNNN.rgba (N the frame counter; 1600 x 900
// RGBA, top row first, replaced whole), so tests can look at what the window shows.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    static DemoApp app; // large (the audio ring is inside); lives until the process ends
    std::string error;
    bool edit = false;
    std::string address;
    bool check = false;
    std::string checkFolder;
    std::string shaders;
    bool shadersNext = false;
    std::istringstream words(commandLine != nullptr ? commandLine : "");
    for (std::string word; words >> word;) {
        if (word == "--help" || word == "-h") {
            attachParentConsole();
            std::printf("%s", kUsage);
            return 0;
        }
        if (shadersNext) {
            shaders = word;
            shadersNext = false;
        } else if (word == "--edit" && !check)
            edit = true;
#ifdef QUAVEL_LIVE_SHADERS
        else if (word == "--shaders" && edit && shaders.empty())
            shadersNext = true;
#endif
        else if (word == "--check" && !edit)
            check = true;
        else if (edit && address.empty() && word.rfind("--", 0) != 0)
            address = word;
        else if (check && checkFolder.empty() && word.rfind("--", 0) != 0)
            checkFolder = word;
        else {
            reportStartupFailure("quavel1", "unexpected argument '" + word +
                                                "' (usage: quavel1 [--edit [HOST:PORT] "
                                                "[--shaders DIR] | --check [FOLDER]])");
            return 2;
        }
    }
    if (shadersNext) {
        reportStartupFailure("quavel1", "--shaders needs a folder");
        return 2;
    }
    if (check)
        return runSelfCheck(checkFolder);
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
    if (!edit) {
        runFrameLoop(app, playhead, showClock, hooks);
    } else {
        LiveEdit live(app.timeline, app.audio, playhead, kSavePath);
        live.start(host, port);
        hooks.betweenFrames = [&live] { live.betweenFrames(); };
#ifdef QUAVEL_LIVE_SHADERS
        // A swap lands between frames; a held frame is drawn again with it on the next one.
        LiveShaders liveShaders(app, shaders, editLog);
        if (!liveShaders.start(error)) {
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
        runFrameLoop(
            app, playhead, [](const DemoApp& a) { return audioSongSeconds(a.audio); }, hooks);
    }
    shutdownShow(app);
    return 1;
}
