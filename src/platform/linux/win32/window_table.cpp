#include "platform/linux/win32/window_table.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <vector>

namespace quavel::win32 {

namespace {

// Atoms of registered classes start where Windows starts its string atoms.
constexpr ATOM kFirstAtom = 0xC000;
// Window handles are plain numbers, never addresses, so a stale handle finds nothing rather
// than freed memory.
constexpr std::uintptr_t kDesktopHandle = 0x10010;
constexpr std::uintptr_t kFirstWindowHandle = 0x20000;
constexpr std::uintptr_t kHandleStep = 4;

std::vector<std::unique_ptr<WindowClass>> classes;
std::vector<std::unique_ptr<WindowRecord>> windows;
ATOM nextAtom = kFirstAtom;
std::uintptr_t nextHandle = kFirstWindowHandle;

// Class names compare without regard to case, as on Windows.
bool sameClassName(const std::wstring& a, LPCWSTR b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

} // namespace

WindowClass* findClass(LPCWSTR nameOrAtom) {
    if (nameOrAtom == nullptr)
        return nullptr;
    const bool byAtom = IS_INTRESOURCE(nameOrAtom);
    for (auto& entry : classes) {
        if (byAtom ? entry->atom == reinterpret_cast<ULONG_PTR>(nameOrAtom)
                   : sameClassName(entry->name, nameOrAtom))
            return entry.get();
    }
    return nullptr;
}

ATOM addClass(const WNDCLASSEXW& description) {
    if (findClass(description.lpszClassName) != nullptr)
        return 0;
    auto entry = std::make_unique<WindowClass>();
    entry->atom = nextAtom++;
    entry->name = description.lpszClassName;
    entry->description = description;
    entry->description.lpszClassName = nullptr; // the caller's string need not outlive the call
    entry->description.lpszMenuName = nullptr;
    classes.push_back(std::move(entry));
    return classes.back()->atom;
}

bool removeClass(LPCWSTR nameOrAtom) {
    const WindowClass* found = findClass(nameOrAtom);
    if (found == nullptr)
        return false;
    classes.erase(std::find_if(classes.begin(), classes.end(),
                               [found](const auto& entry) { return entry.get() == found; }));
    return true;
}

WindowRecord& addWindow(WindowRecord record) {
    record.handle = reinterpret_cast<HWND>(nextHandle);
    nextHandle += kHandleStep;
    windows.push_back(std::make_unique<WindowRecord>(std::move(record)));
    return *windows.back();
}

WindowRecord* findWindow(HWND handle) {
    if (handle == nullptr)
        return nullptr;
    for (auto& window : windows)
        if (window->handle == handle)
            return window.get();
    return nullptr;
}

WindowRecord* findWindowBySdlId(Uint32 sdlId) {
    for (auto& window : windows)
        if (window->sdlId == sdlId)
            return window.get();
    return nullptr;
}

void removeWindow(HWND handle) {
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [handle](const auto& window) { return window->handle == handle; }),
                  windows.end());
}

std::size_t windowCount() {
    return windows.size();
}

HWND windowAt(std::size_t index) {
    return index < windows.size() ? windows[index]->handle : nullptr;
}

HWND desktopHandle() {
    return reinterpret_cast<HWND>(kDesktopHandle);
}

} // namespace quavel::win32
