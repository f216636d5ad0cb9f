// Lazy start of SDL's video and event subsystems for the window functions.
#pragma once

namespace quavel::win32 {

// Starts SDL video on first use and installs the key-state watcher; true when video is up.
// The calling thread becomes the video thread, the only one that pumps SDL events.
bool ensureVideo();

// True when video is up and the caller is the thread that started it.
bool onVideoThread();

} // namespace quavel::win32
