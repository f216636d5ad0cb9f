#include "app/window_device.h"

#include "Fennick/texture_layout.h"

namespace {

constexpr WORD kIconResource = 101;

DXGI_SWAP_CHAIN_DESC swapChainDescription(HWND window) {
    DXGI_SWAP_CHAIN_DESC desc = {};
    // Width and height 0: the swap chain takes the window's client size, which is the size of
    // the picture (the window is made that size).
    desc.BufferDesc.RefreshRate.Numerator = 60;
    desc.BufferDesc.RefreshRate.Denominator = 1;
    desc.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.OutputWindow = window;
    desc.Windowed = TRUE;
    desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    desc.Flags = DXGI_SWAP_CHAIN_FLAG_ALLOW_MODE_SWITCH;
    return desc;
}

HRESULT createDevice(DemoApp& app, D3D_DRIVER_TYPE driver, const DXGI_SWAP_CHAIN_DESC& desc) {
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
    D3D_FEATURE_LEVEL obtained;
    return D3D11CreateDeviceAndSwapChain(nullptr, driver, nullptr, 0, levels, 2, D3D11_SDK_VERSION,
                                         &desc, &app.swapChain, &app.device, &obtained,
                                         &app.immediateContext);
}

} // namespace

LRESULT CALLBACK demoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return 0; // the swap chain is never resized
    case WM_SYSCOMMAND:
        // Alt or F10 would open the window menu and stall the show.
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HRESULT initWindowAndDevice(DemoApp& app, WindowShown shown, float renderScale) {
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

    const bool onScreen = shown == WindowShown::OnScreen;
    const int width = int(Fennick::gfx::scaledExtent(kShowWidth, renderScale));
    const int height = int(Fennick::gfx::scaledExtent(kShowHeight, renderScale));
    app.window =
        CreateWindowExW(0, wc.lpszClassName, L"quavel1", WS_POPUP | (onScreen ? WS_VISIBLE : 0), 0,
                        0, width, height, nullptr, nullptr, instance, nullptr);

    RECT desktop = {};
    GetClientRect(GetDesktopWindow(), &desktop);
    // Signed division truncating toward zero: a desktop narrower than the window gives a
    // negative position rounded toward zero.
    SetWindowPos(app.window, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0,
                 0, SWP_NOSIZE | SWP_NOZORDER);

    const DXGI_SWAP_CHAIN_DESC desc = swapChainDescription(app.window);
    HRESULT hr = createDevice(app, D3D_DRIVER_TYPE_HARDWARE, desc);
    if (hr == DXGI_ERROR_UNSUPPORTED)
        hr = createDevice(app, D3D_DRIVER_TYPE_WARP, desc);
    if (FAILED(hr) || !app.swapChain || !app.device || !app.immediateContext)
        return FAILED(hr) ? hr : E_FAIL;

    ID3D11Texture2D* backBuffer = nullptr;
    app.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer));
    if (backBuffer) {
        app.device->CreateRenderTargetView(backBuffer, nullptr, &app.backBufferView);
        backBuffer->Release();
    }

    if (onScreen) {
        ShowWindow(app.window, SW_SHOWDEFAULT);
        UpdateWindow(app.window);
        ShowCursor(FALSE);
        ShowWindow(GetConsoleWindow(), SW_HIDE);
    }
    return app.backBufferView ? S_OK : E_FAIL;
}
