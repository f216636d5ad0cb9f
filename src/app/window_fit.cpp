#include "app/window_fit.h"

WindowPlacement fitWindow(const RECT& workArea, int width, int height) {
    const long long areaWidth = workArea.right - workArea.left;
    const long long areaHeight = workArea.bottom - workArea.top;
    long long w = width, h = height;
    if (w > areaWidth || h > areaHeight) {
        // The side that runs out first sets the scale; the other follows, rounded down, so
        // the window never leaves the work area.
        if (areaWidth * height <= areaHeight * width) {
            w = areaWidth;
            h = areaWidth * height / width;
        } else {
            h = areaHeight;
            w = areaHeight * width / height;
        }
    }
    // Centred; a signed division truncating toward zero, as for the desktop before.
    return {int(workArea.left + (areaWidth - w) / 2), int(workArea.top + (areaHeight - h) / 2),
            int(w), int(h)};
}
