#include "platform/linux/win32/key_state.h"

#include <SDL2/SDL.h>

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/linux/win32/sdl_video.h"
#include "platform/linux/win32/win32_api.h"

namespace quavel::win32 {

namespace {

// A physical key, the virtual key it produces and, for the left/right pairs, the generic key
// (VK_MENU for either Alt) that is down while either of the pair is.
struct KeyMapping {
    SDL_Scancode scancode;
    int virtualKey;
    int genericKey;
};

constexpr KeyMapping kNamedKeys[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0},
    {SDL_SCANCODE_TAB, VK_TAB, 0},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0},
    {SDL_SCANCODE_UP, VK_UP, 0},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0},
    {SDL_SCANCODE_LALT, VK_LMENU, VK_MENU},
    {SDL_SCANCODE_RALT, VK_RMENU, VK_MENU},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, VK_CONTROL},
};

constexpr std::uint8_t kDown = 1;
constexpr std::uint8_t kPressedSinceQuery = 2;

// Indexed by virtual-key code; written by the watcher (whichever thread pushes the event) and
// read by GetAsyncKeyState on any thread.
std::array<std::atomic<std::uint8_t>, 256> keyStates{};

const KeyMapping* findMapping(SDL_Scancode scancode) {
    for (const KeyMapping& mapping : kNamedKeys)
        if (mapping.scancode == scancode)
            return &mapping;
    return nullptr;
}

bool pairDown(int genericKey) {
    for (const KeyMapping& mapping : kNamedKeys)
        if (mapping.genericKey == genericKey && (keyStates[mapping.virtualKey].load() & kDown))
            return true;
    return false;
}

void recordKey(int virtualKey, bool down) {
    if (down)
        keyStates[virtualKey].fetch_or(kDown | kPressedSinceQuery);
    else
        keyStates[virtualKey].fetch_and(static_cast<std::uint8_t>(~kDown));
}

int SDLCALL watchKeys(void*, SDL_Event* event) {
    if (event->type != SDL_KEYDOWN && event->type != SDL_KEYUP)
        return 0;
    const bool down = event->type == SDL_KEYDOWN;
    const SDL_Scancode scancode = event->key.keysym.scancode;
    const int virtualKey = virtualKeyFromScancode(scancode);
    if (virtualKey == 0)
        return 0;
    recordKey(virtualKey, down);
    const KeyMapping* mapping = findMapping(scancode);
    if (mapping != nullptr && mapping->genericKey != 0) {
        if (down)
            recordKey(mapping->genericKey, true);
        else if (!pairDown(mapping->genericKey))
            recordKey(mapping->genericKey, false);
    }
    return 0;
}

} // namespace

void installKeyStateWatcher() {
    SDL_AddEventWatch(watchKeys, nullptr);
}

int virtualKeyFromScancode(SDL_Scancode scancode) {
    // Letters, digits and function keys are contiguous runs in both code sets.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    const KeyMapping* mapping = findMapping(scancode);
    return mapping != nullptr ? mapping->virtualKey : 0;
}

} // namespace quavel::win32

SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey <= 0 || vKey > 255)
        return 0;
    // Key events reach the watcher only once SDL has read them from the display connection.
    if (quavel::win32::onVideoThread())
        SDL_PumpEvents();
    const std::uint8_t state = quavel::win32::keyStates[vKey].fetch_and(
        static_cast<std::uint8_t>(~quavel::win32::kPressedSinceQuery));
    int result = 0;
    if (state & quavel::win32::kDown)
        result |= 0x8000;
    if (state & quavel::win32::kPressedSinceQuery)
        result |= 0x0001;
    return static_cast<SHORT>(result);
}
