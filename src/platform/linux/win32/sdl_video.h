// Lazy start of SDL's video and event subsystems for the window functions and the Direct3D
// layer's OpenGL contexts.
//
// SDL picks the first video driver that starts. A window meant to be seen needs one that
// shows windows on a display (X11, Wayland, KMS); SDL's offscreen and dummy drivers would
// start anywhere and leave a program running invisibly, so they are not taken for it. A
// hidden window (a capture, a device without a swap chain) may fall back to the offscreen
// driver, so it needs no display server where EGL can render without one.
#pragma once

namespace quavel::win32 {

enum class VideoUse {
    ShownWindow,  // a window that must be seen: refused without a display
    HiddenWindow, // a window nobody sees: any driver that can render; says once why not
    Query,        // desktop size, cursor: any driver, quietly
};

// Starts SDL video on first use and installs the key-state watcher; true when video is up
// and fit for `use`. The calling thread becomes the video thread, the only one that pumps
// SDL events.
bool ensureVideo(VideoUse use);

// True when video is up and the caller is the thread that started it.
bool onVideoThread();

} // namespace quavel::win32
