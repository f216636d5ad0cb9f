// The show's entry function: start-up, the frame loop driven by the sound card's clock, and
// the orderly end with exit code 1. With `--edit [HOST:PORT]` the show follows the sync
// editor (see live_edit.h).
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "app/frame_loop.h"
#include "app/live_edit.h"
#include "app/show.h"
#include "platform/startup_failure.h"

namespace {

// Where the editor's save goes: beside where the show was started, not into the sources.
constexpr const char* kSavePath = "show_keys_data.saved.cpp";
// The picture's history after a seek is replayed on this frame grid from the show's start.
constexpr double kReplayFps = 60.0;

void replayPicture(DemoApp& app, float seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * kReplayFps);
    for (std::uint32_t n = 0; n < frames; ++n)
        advanceShowState(app, static_cast<float>(n / kReplayFps), n,
                         n == 0 ? 0.0f : static_cast<float>(1.0 / kReplayFps));
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
    if (!startShowGraphics(app, error)) {
        reportStartupFailure("quavel1", error);
        return 2;
    }
    if (!startShowAudio(app, error)) {
        reportStartupFailure("quavel1", error);
        shutdownShow(app);
        return 2;
    }
    if (!edit) {
        runFrameLoop(app, [](const DemoApp& a) { return audioBytesPlayed(a); });
    } else {
        LiveEdit live(
            app.timeline, app.audio, [](float s) { replayPicture(app, s); }, kSavePath);
        live.start(host, port);
        runFrameLoop(
            app,
            [](const DemoApp& a) {
                return static_cast<std::uint32_t>(audioSongFrame(a.audio) * kAudioBytesPerFrame);
            },
            [&live] { live.betweenFrames(); });
    }
    shutdownShow(app);
    return 1;
}
