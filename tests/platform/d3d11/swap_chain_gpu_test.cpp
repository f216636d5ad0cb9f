// The device and swap chain on a window of the Win32 layer, as the show creates them, and
// Present showing the back buffer the right way up.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <chrono>
#include <vector>

#include "app/swap_chain_description.h"
#include "platform/d3d11.h"
#include "platform/win32.h"

namespace {

constexpr int width = 64;
constexpr int height = 48;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND makeWindow() {
    static bool registered = false;
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (!registered) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_CLASSDC;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = module;
        windowClass.lpszClassName = L"SwapChainTest";
        RegisterClassExW(&windowClass);
        registered = true;
    }
    return CreateWindowExW(0, L"SwapChainTest", L"swap chain test", WS_POPUP | WS_VISIBLE, 0, 0,
                           width, height, nullptr, nullptr, module, nullptr);
}

TEST(SwapChain, TheShowsStartUpGivesABackBufferOfTheWindowsSizeThatPresentShowsUpright) {
    HWND window = makeWindow();
    ASSERT_NE(nullptr, window);
    DXGI_SWAP_CHAIN_DESC desc = swapChainDescription(window);
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_0};
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level;
    HRESULT result = D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0,
                                                   levels, 2, D3D11_SDK_VERSION, &desc, &swapChain,
                                                   &device, &level, &context);
    ASSERT_EQ(S_OK, result);
    EXPECT_EQ(D3D_FEATURE_LEVEL_11_0, level);

    DXGI_SWAP_CHAIN_DESC got;
    ASSERT_EQ(S_OK, swapChain->GetDesc(&got));
    EXPECT_EQ(UINT(width), got.BufferDesc.Width);
    EXPECT_EQ(UINT(height), got.BufferDesc.Height);
    ID3D11Texture2D* backBuffer = nullptr;
    ASSERT_EQ(S_OK, swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                         reinterpret_cast<void**>(&backBuffer)));
    D3D11_TEXTURE2D_DESC textureDesc;
    backBuffer->GetDesc(&textureDesc);
    EXPECT_EQ(UINT(width), textureDesc.Width);
    EXPECT_EQ(DXGI_FORMAT_R8G8B8A8_UNORM, textureDesc.Format);
    void* other = nullptr;
    EXPECT_EQ(DXGI_ERROR_INVALID_CALL, swapChain->GetBuffer(1, __uuidof(ID3D11Texture2D), &other));
    ID3D11RenderTargetView* view = nullptr;
    ASSERT_EQ(S_OK, device->CreateRenderTargetView(backBuffer, nullptr, &view));
    backBuffer->Release();

    // Memory rows 0 .. height/2 - 1 (the top of the picture) red, the rest blue, written
    // through an upload so that the rows are exactly known.
    const float blue[4] = {0, 0, 1, 1};
    context->ClearRenderTargetView(view, blue);
    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    std::vector<uint32_t> red(width * (height / 2), 0xff0000ffu);
    D3D11_BOX topHalf = {0, 0, 0, UINT(width), UINT(height / 2), 1};
    context->UpdateSubresource(resource, 0, &topHalf, red.data(), width * 4, 0);
    resource->Release();
    ASSERT_EQ(S_OK, swapChain->Present(1, 0));

    // OpenGL numbers the window's rows from the bottom. llvmpipe (the reference device)
    // keeps the presented picture in the back buffer after the swap; its front buffer under
    // Xvfb cannot be read.
    std::vector<uint8_t> shown(width * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
    const uint8_t* bottomRow = &shown[0];
    const uint8_t* topRow = &shown[(height - 1) * width * 4];
    EXPECT_EQ(255, topRow[0]);
    EXPECT_EQ(0, topRow[2]);
    EXPECT_EQ(0, bottomRow[0]);
    EXPECT_EQ(255, bottomRow[2]);

    view->Release();
    swapChain->Release();
    context->Release();
    EXPECT_EQ(0u, device->Release());
    DestroyWindow(window);
}

TEST(SwapChain, PresentWithASyncIntervalKeepsToTheRefreshRateWhereTheDriverDoesNotWait) {
    HWND window = makeWindow();
    ASSERT_NE(nullptr, window);
    DXGI_SWAP_CHAIN_DESC desc = swapChainDescription(window);
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0};
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ASSERT_EQ(S_OK, D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0,
                                                  levels, 1, D3D11_SDK_VERSION, &desc, &swapChain,
                                                  &device, nullptr, nullptr));
    // Xvfb reports 60 Hz and ignores the swap interval. The first present starts the
    // schedule, so 61 presents span 60 blanks: 1 s, less scheduling slack.
    ASSERT_EQ(S_OK, swapChain->Present(1, 0));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 60; ++i) {
        swapChain->Present(1, 0);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took.count(), 0.9) << "60 presents at 60 Hz";
    swapChain->Release();
    EXPECT_EQ(0u, device->Release());
    DestroyWindow(window);
}

TEST(SwapChain, AWindowThatIsNotOneOfOursOrABadDescriptionIsRefused) {
    HWND window = makeWindow();
    ASSERT_NE(nullptr, window);
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0};
    struct Case {
        const char* why;
        void (*change)(DXGI_SWAP_CHAIN_DESC&);
        HRESULT expected;
    };
    // Full-screen and multisample quality levels are refused, not quietly ignored.
    const Case cases[] = {
        {"no samples", [](DXGI_SWAP_CHAIN_DESC& d) { d.SampleDesc.Count = 0; }, E_INVALIDARG},
        {"full screen", [](DXGI_SWAP_CHAIN_DESC& d) { d.Windowed = FALSE; }, E_INVALIDARG},
        {"quality", [](DXGI_SWAP_CHAIN_DESC& d) { d.SampleDesc.Quality = 1; }, E_INVALIDARG},
        {"foreign window",
         [](DXGI_SWAP_CHAIN_DESC& d) { d.OutputWindow = reinterpret_cast<HWND>(0x1234); },
         DXGI_ERROR_INVALID_CALL},
    };
    for (const Case& c : cases) {
        DXGI_SWAP_CHAIN_DESC desc = swapChainDescription(window);
        c.change(desc);
        IDXGISwapChain* swapChain = nullptr;
        ID3D11Device* device = nullptr;
        EXPECT_EQ(c.expected, D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_WARP, nullptr,
                                                            0, levels, 1, D3D11_SDK_VERSION, &desc,
                                                            &swapChain, &device, nullptr, nullptr))
            << c.why;
        EXPECT_EQ(nullptr, device) << c.why;
        EXPECT_EQ(nullptr, swapChain) << c.why;
    }
    IDXGISwapChain* swapChain = nullptr;
    EXPECT_EQ(E_INVALIDARG, D3D11CreateDeviceAndSwapChain(
                                nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 1,
                                D3D11_SDK_VERSION, nullptr, &swapChain, nullptr, nullptr, nullptr))
        << "no description";
    DestroyWindow(window);
}

} // namespace

namespace {

// The factory: one adapter, listed and ranked; a device made on it takes the driver type
// UNKNOWN (and only then); the swap chain's parent keeps the window association; a smaller
// back buffer than the window is stretched. Direct3D's rules for adapter and driver type.
TEST(DxgiFactory, ListsTheAdapterADeviceIsMadeOnAndKeepsTheWindowAssociation) {
    // The window first, as the show makes it.
    HWND window = makeWindow();
    ASSERT_NE(nullptr, window);
    IDXGIFactory1* factory = nullptr;
    ASSERT_EQ(S_OK,
              CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory)));
    IDXGIAdapter1* listed = nullptr;
    ASSERT_EQ(S_OK, factory->EnumAdapters1(0, &listed));
    DXGI_ADAPTER_DESC1 desc = {};
    ASSERT_EQ(S_OK, listed->GetDesc1(&desc));
    EXPECT_NE(desc.Description[0], 0) << "named after the OpenGL renderer";
    EXPECT_EQ(desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE, 0u);
    IDXGIAdapter1* none = listed;
    EXPECT_EQ(DXGI_ERROR_NOT_FOUND, factory->EnumAdapters1(1, &none));
    EXPECT_EQ(nullptr, none);

    IDXGIFactory6* factory6 = nullptr;
    ASSERT_EQ(S_OK, factory->QueryInterface(__uuidof(IDXGIFactory6),
                                            reinterpret_cast<void**>(&factory6)));
    IDXGIAdapter* preferred = nullptr;
    ASSERT_EQ(S_OK, factory6->EnumAdapterByGpuPreference(0, DXGI_GPU_PREFERENCE_HIGH_PERFORMANCE,
                                                         __uuidof(IDXGIAdapter),
                                                         reinterpret_cast<void**>(&preferred)));
    EXPECT_EQ(static_cast<IDXGIAdapter*>(listed), preferred);

    // A back buffer of 32 x 24 in the 64 x 48 window.
    DXGI_SWAP_CHAIN_DESC chain = swapChainDescription(window, width / 2, height / 2);
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0};
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    EXPECT_EQ(E_INVALIDARG, D3D11CreateDeviceAndSwapChain(
                                preferred, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 1,
                                D3D11_SDK_VERSION, &chain, &swapChain, &device, nullptr, &context))
        << "an adapter with a driver type";
    EXPECT_EQ(E_INVALIDARG, D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_UNKNOWN, nullptr,
                                                          0, levels, 1, D3D11_SDK_VERSION, &chain,
                                                          &swapChain, &device, nullptr, &context))
        << "UNKNOWN without an adapter";
    ASSERT_EQ(S_OK, D3D11CreateDeviceAndSwapChain(preferred, D3D_DRIVER_TYPE_UNKNOWN, nullptr, 0,
                                                  levels, 1, D3D11_SDK_VERSION, &chain, &swapChain,
                                                  &device, nullptr, &context));
    DXGI_SWAP_CHAIN_DESC got;
    ASSERT_EQ(S_OK, swapChain->GetDesc(&got));
    EXPECT_EQ(std::make_pair(got.BufferDesc.Width, got.BufferDesc.Height),
              std::make_pair(UINT(width / 2), UINT(height / 2)));
    EXPECT_EQ(S_OK, device->GetDeviceRemovedReason());
    EXPECT_EQ(S_OK, swapChain->Present(0, DXGI_PRESENT_TEST));

    IDXGIFactory* parent = nullptr;
    ASSERT_EQ(S_OK,
              swapChain->GetParent(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&parent)));
    EXPECT_EQ(DXGI_ERROR_INVALID_CALL, parent->MakeWindowAssociation(window, 0x80));
    EXPECT_EQ(S_OK, parent->MakeWindowAssociation(window, DXGI_MWA_NO_ALT_ENTER));
    HWND associated = nullptr;
    EXPECT_EQ(S_OK, parent->GetWindowAssociation(&associated));
    EXPECT_EQ(window, associated);

    parent->Release();
    context->Release();
    swapChain->Release();
    device->Release();
    preferred->Release();
    factory6->Release();
    listed->Release();
    factory->Release();
    DestroyWindow(window);
}

} // namespace
