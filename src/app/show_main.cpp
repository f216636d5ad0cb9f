// The show's entry function: start-up, the frame loop driven by the sound card's clock, and
// the orderly end with exit code 1. With `--edit [HOST:PORT]` the show follows the sync
// editor (see live_edit.h). With QUAVEL1_READ_BACK=FOLDER in the environment every drawn
// frame is also read back into FOLDER/frame_NNNNNN.rgba (N the frame counter; 1600 x 900 RGBA,
// top row first, replaced whole), so tests can look at what the window shows.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/back_buffer_reader.h"
#include "app/frame_loop.h"
#include "app/live_edit.h"
#include "app/render_folder.h"
#include "app/show.h"
#include "files/output_file.h"
#include "platform/startup_failure.h"

namespace {

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
    std::istringstream words(commandLine != nullptr ? commandLine : "");
    for (std::string word; words >> word;) {
        if (word == "--edit")
            edit = true;
        else if (edit && address.empty())
            address = word;
        else {
            reportStartupFailure("quavel1", "unexpected argument '" + word +
                                                "' (usage: quavel1 [--edit [HOST:PORT]])");
            return 2;
        }
    }
    std::string host;
    std::uint16_t port = 0;
    if (edit && !parseEditorAddress(address, host, port, error)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
    if (!startShowGraphics(app, error, WindowShown::OnScreen, kFullSize)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
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
        runFrameLoop(
            app, playhead, [](const DemoApp& a) { return audioSongSeconds(a.audio); }, hooks);
    }
    shutdownShow(app);
    return 1;
}
