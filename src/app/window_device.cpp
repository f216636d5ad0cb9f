#include "app/window_device.h"

#include "Fennick/creation_check.h"
#include "Fennick/texture_layout.h"
#include "app/show_device.h"
#include "app/swap_chain_description.h"
#include "app/window_fit.h"
#include "platform/window_creation_error.h"

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
    if (!app.window) {
        result.error = windowCreationError();
        return result;
    }

    // On the monitor the window opened on, inside its work area; a smaller screen gets a
    // smaller window of the same shape. The back buffer keeps the picture's size.
    // A window never shown (captures, the self-check) keeps the picture's size where it is.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (onScreen &&
        GetMonitorInfoW(MonitorFromWindow(app.window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        const WindowPlacement place = fitWindow(monitor.rcWork, width, height);
        SetWindowPos(app.window, nullptr, place.x, place.y, place.width, place.height,
                     SWP_NOZORDER);
    }

    ShowDevice made = createShowDevice(swapChainDescription(app.window, UINT(width), UINT(height)));
    if (!made.error.empty()) {
        result.error = made.error;
        return result;
    }
    app.swapChain = made.swapChain;
    app.device = made.device;
    app.immediateContext = made.context;
    result.softwareNote = made.softwareNote;
    // DXGI would switch to exclusive full screen on Alt+Enter, at the back buffer's size, while
    // the show never resizes anything: the window association turns that off.
    IDXGIFactory* factory = nullptr;
    if (SUCCEEDED(
            app.swapChain->GetParent(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&factory))) &&
        factory) {
        factory->MakeWindowAssociation(app.window, DXGI_MWA_NO_ALT_ENTER);
        factory->Release();
    }

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
        ShowWindow(GetConsoleWindow(), SW_HIDE);
    }
    result.ok = true;
    return result;
}
