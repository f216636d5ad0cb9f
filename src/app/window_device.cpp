#include "app/window_device.h"

#include "Fennick/creation_check.h"
#include "Fennick/texture_layout.h"
#include "app/show_device.h"
#include "app/swap_chain_description.h"

namespace {

constexpr WORD kIconResource = 101;

} // namespace

DeviceStartup initWindowAndDevice(DemoApp& app, WindowShown shown, float renderScale) {
    DeviceStartup result;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));

    WNDCLASSEXW& wc = app.windowClass;
    wc = {};
    wc.cbSize = sizeof(WNDCLASSEXW);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = demoWindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.lpszClassName = L"DemoTemplate";
    RegisterClassExW(&wc);

    // The process is DPI-aware (its manifest), so these are physical pixels at every display
    // scale.
    const bool onScreen = shown == WindowShown::OnScreen;
    const int width = int(Fennick::gfx::scaledExtent(kShowWidth, renderScale));
    const int height = int(Fennick::gfx::scaledExtent(kShowHeight, renderScale));
    app.window =
        CreateWindowExW(0, wc.lpszClassName, L"quavel1", WS_POPUP | (onScreen ? WS_VISIBLE : 0), 0,
                        0, width, height, nullptr, nullptr, instance, nullptr);
    if (!app.window)
        return result;

    RECT desktop = {};
    GetClientRect(GetDesktopWindow(), &desktop);
    // Signed division truncating toward zero: a desktop narrower than the window gives a
    // negative position rounded toward zero.
    SetWindowPos(app.window, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER);

    ShowDevice made = createShowDevice(swapChainDescription(app.window));
    if (!made.error.empty()) {
        result.error = made.error;
        return result;
    }
    app.swapChain = made.swapChain;
    app.device = made.device;
    app.immediateContext = made.context;
    result.softwareNote = made.softwareNote;

    ID3D11Texture2D* backBuffer = nullptr;
    HRESULT hr = app.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                          reinterpret_cast<void**>(&backBuffer));
    if (FAILED(hr) || !backBuffer) {
        result.error = "IDXGISwapChain::GetBuffer for the back buffer failed: " +
                       Fennick::gfx::hresultText(FAILED(hr) ? hr : E_FAIL);
        return result;
    }
    hr = app.device->CreateRenderTargetView(backBuffer, nullptr, &app.backBufferView);
    backBuffer->Release();
    if (FAILED(hr) || !app.backBufferView) {
        result.error = "CreateRenderTargetView for the back buffer failed: " +
                       Fennick::gfx::hresultText(FAILED(hr) ? hr : E_FAIL);
        return result;
    }
    if (onScreen) {
        ShowWindow(app.window, SW_SHOWDEFAULT);
        UpdateWindow(app.window);
        ShowCursor(FALSE);
        ShowWindow(GetConsoleWindow(), SW_HIDE);
    }
    result.ok = true;
    return result;
}
