#include "app/show.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/window_device.h"
#include "demo/show_assets.h"
#include "platform/shader_code.h"

bool startShowGraphics(DemoApp& app, std::string& error, WindowShown shown, float renderScale) {
    // Where the shaders are linked as source, they become bytecode first, before the window
    // exists: compiling takes seconds, and Windows marks a shown window that answers no
    // messages for about 5 s as not responding. A program that does not compile stops the show
    // before anything appears.
    return prepareShaderCode(error) && startShowDevice(app, error, shown, renderScale) &&
           buildShowGraph(app, error, renderScale);
}

bool startShowDevice(DemoApp& app, std::string& error, WindowShown shown, float renderScale) {
    const DeviceStartup started = initWindowAndDevice(app, shown, renderScale);
    if (!started.ok) {
        error = started.error;
        return false;
    }
    app.softwareNote = started.softwareNote;
    return true;
}

bool startShowAudio(DemoApp& app, std::string& error) {
    switch (startAudioOutput(app.audio, showModule(), showModuleSize())) {
    case AudioStart::Playing:
    case AudioStart::NoDevice:
        return true;
    case AudioStart::ThreadFailed:
        error = "the audio thread cannot be started";
        return false;
    }
    return true;
}

std::uint32_t audioBytesPlayed(const DemoApp& app) {
    MMTIME position;
    std::memset(&position, 0, sizeof position);
    position.wType = TIME_BYTES;
    position.u.cb = 0;
    waveOutGetPosition(app.audio.device, &position, sizeof(MMTIME));
    return position.u.cb;
}

float showClock(const DemoApp& app) {
    return audioSecondsFromBytes(audioBytesPlayed(app));
}

void shutdownShow(DemoApp& app) {
    stopAudioOutput(app.audio);
    app.timeline.freeTracks();
}
