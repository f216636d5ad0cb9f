// The show as the browser's module holds it (show_exports.cpp makes it on quavel_show_start):
// the application record, its picture and playhead, and the back buffer the page presents.
#pragma once

#include "app/playhead.h"
#include "app/show.h"

// The show's grid for seeks and stills: the capture tool's and --check's 60 frames a second.
inline constexpr double kWebGridFps = 60.0;

struct WebShow {
    DemoApp app;
    ShowPicture picture{app};
    Playhead playhead{picture, kWebGridFps};
    ID3D11Texture2D* backBuffer = nullptr;
};

// Null until the show has started.
WebShow* webShow();
