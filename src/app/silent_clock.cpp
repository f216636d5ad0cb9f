#include "app/silent_clock.h"

#include "platform/win32.h"

float SilentClock::seconds() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (frequency_ == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        frequency_ = frequency.QuadPart;
        start_ = now.QuadPart;
    }
    return static_cast<float>(static_cast<double>(now.QuadPart - start_) /
                              static_cast<double>(frequency_));
}
