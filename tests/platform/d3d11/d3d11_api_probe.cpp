// Compiled by the Linux test build against our declarations and by
// the Windows cross build (tests/windows/probes) against the real Windows headers: the Direct3D 11
// and DXGI records, constants and method signatures the system uses must be the Windows ones.
#include <cstddef>
#include <type_traits>

#include "platform/d3d11.h"

#define EXPECT_METHOD(Interface, method, Result, ...)                                              \
    static_assert(std::is_same_v<decltype(&Interface::method),                                     \
                                 Result (STDMETHODCALLTYPE Interface::*)(__VA_ARGS__)>,            \
                  #Interface "::" #method " signature")

// Records: sizes and the offsets of the members the system fills.
static_assert(sizeof(DXGI_MODE_DESC) == 28 && offsetof(DXGI_MODE_DESC, Format) == 16);
static_assert(offsetof(DXGI_SWAP_CHAIN_DESC, SampleDesc) == 28);
static_assert(offsetof(DXGI_SWAP_CHAIN_DESC, BufferUsage) == 36);
static_assert(offsetof(DXGI_SWAP_CHAIN_DESC, OutputWindow) == 48);
static_assert(offsetof(DXGI_SWAP_CHAIN_DESC, Flags) == 64 && sizeof(DXGI_SWAP_CHAIN_DESC) == 72);
static_assert(sizeof(D3D11_BUFFER_DESC) == 24 && offsetof(D3D11_BUFFER_DESC, MiscFlags) == 16);
static_assert(sizeof(D3D11_TEXTURE1D_DESC) == 32);
static_assert(sizeof(D3D11_TEXTURE2D_DESC) == 44 && offsetof(D3D11_TEXTURE2D_DESC, Usage) == 28);
static_assert(sizeof(D3D11_TEXTURE3D_DESC) == 36 && offsetof(D3D11_TEXTURE3D_DESC, Format) == 16);
static_assert(sizeof(D3D11_SUBRESOURCE_DATA) == 16 && sizeof(D3D11_MAPPED_SUBRESOURCE) == 16);
static_assert(sizeof(D3D11_BOX) == 24 && sizeof(D3D11_VIEWPORT) == 24);
static_assert(sizeof(D3D11_SHADER_RESOURCE_VIEW_DESC) == 24);
static_assert(offsetof(D3D11_SHADER_RESOURCE_VIEW_DESC, Buffer) == 8);
static_assert(offsetof(D3D11_SHADER_RESOURCE_VIEW_DESC, Texture2D) == 8);
static_assert(sizeof(D3D11_UNORDERED_ACCESS_VIEW_DESC) == 20);
static_assert(offsetof(D3D11_UNORDERED_ACCESS_VIEW_DESC, Texture3D) == 8);
static_assert(sizeof(D3D11_RENDER_TARGET_VIEW_DESC) == 20);
static_assert(sizeof(D3D11_DEPTH_STENCIL_VIEW_DESC) == 24);
static_assert(offsetof(D3D11_DEPTH_STENCIL_VIEW_DESC, Texture2D) == 12);
static_assert(sizeof(D3D11_RASTERIZER_DESC) == 40);
static_assert(offsetof(D3D11_RASTERIZER_DESC, DepthClipEnable) == 24);
static_assert(sizeof(D3D11_RENDER_TARGET_BLEND_DESC) == 32 && sizeof(D3D11_BLEND_DESC) == 264);
static_assert(offsetof(D3D11_RENDER_TARGET_BLEND_DESC, RenderTargetWriteMask) == 28);
static_assert(sizeof(D3D11_SAMPLER_DESC) == 52 && offsetof(D3D11_SAMPLER_DESC, BorderColor) == 28);

// Constants the system names.
static_assert(D3D11_SDK_VERSION == 7 && DXGI_ERROR_UNSUPPORTED == static_cast<HRESULT>(0x887A0004));
static_assert(E_INVALIDARG == static_cast<HRESULT>(0x80070057) && S_OK == 0);
static_assert(D3D_DRIVER_TYPE_HARDWARE == 1 && D3D_DRIVER_TYPE_WARP == 5);
static_assert(D3D_FEATURE_LEVEL_11_0 == 0xb000 && D3D_FEATURE_LEVEL_10_0 == 0xa000);
static_assert(DXGI_FORMAT_R32G32B32A32_FLOAT == 2 && DXGI_FORMAT_R16G16B16A16_FLOAT == 10);
static_assert(DXGI_FORMAT_R8G8B8A8_UNORM == 28 && DXGI_FORMAT_D32_FLOAT == 40);
static_assert(DXGI_FORMAT_R32_FLOAT == 41 && DXGI_FORMAT_R32_UINT == 42);
static_assert(DXGI_FORMAT_D24_UNORM_S8_UINT == 45 && DXGI_FORMAT_B8G8R8A8_UNORM == 87);
static_assert(DXGI_USAGE_RENDER_TARGET_OUTPUT == 0x20 && DXGI_SWAP_EFFECT_DISCARD == 0);
static_assert(DXGI_SWAP_CHAIN_FLAG_ALLOW_MODE_SWITCH == 2);
static_assert(D3D11_BIND_CONSTANT_BUFFER == 0x4 && D3D11_BIND_SHADER_RESOURCE == 0x8);
static_assert(D3D11_BIND_RENDER_TARGET == 0x20 && D3D11_BIND_DEPTH_STENCIL == 0x40);
static_assert(D3D11_BIND_UNORDERED_ACCESS == 0x80 && D3D11_USAGE_DEFAULT == 0);
static_assert(D3D11_USAGE_STAGING == 3 && D3D11_CPU_ACCESS_READ == 0x20000);
static_assert(D3D11_RESOURCE_MISC_GENERATE_MIPS == 0x1);
static_assert(D3D11_RESOURCE_MISC_BUFFER_STRUCTURED == 0x40);
static_assert(D3D11_SRV_DIMENSION_BUFFER == 1 && D3D11_SRV_DIMENSION_TEXTURE2D == 4);
static_assert(D3D11_SRV_DIMENSION_TEXTURE3D == 8 && D3D11_UAV_DIMENSION_TEXTURE3D == 8);
static_assert(D3D11_RTV_DIMENSION_TEXTURE2D == 4 && D3D11_DSV_DIMENSION_TEXTURE2D == 3);
static_assert(D3D11_BLEND_ONE == 2 && D3D11_BLEND_SRC_ALPHA == 5 && D3D11_BLEND_INV_SRC_ALPHA == 6);
static_assert(D3D11_BLEND_INV_DEST_ALPHA == 8 && D3D11_BLEND_ZERO == 1 && D3D11_BLEND_OP_ADD == 1);
static_assert(D3D11_COLOR_WRITE_ENABLE_ALL == 15 && D3D11_FILL_SOLID == 3);
static_assert(D3D11_CULL_NONE == 1 && D3D11_CULL_BACK == 3);
static_assert(D3D11_FILTER_MIN_MAG_MIP_LINEAR == 0x15 && D3D11_FILTER_MIN_MAG_MIP_POINT == 0);
static_assert(D3D11_TEXTURE_ADDRESS_WRAP == 1 && D3D11_TEXTURE_ADDRESS_CLAMP == 3);
static_assert(D3D11_TEXTURE_ADDRESS_BORDER == 4 && D3D11_COMPARISON_NEVER == 1);
static_assert(D3D11_PRIMITIVE_TOPOLOGY_POINTLIST == 1 &&
              D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST == 4);
static_assert(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP == 5 && D3D11_CLEAR_DEPTH == 1);
static_assert(D3D11_MAP_READ == 1 && D3D11_MAP_WRITE_DISCARD == 4);

// Entry point and methods, with the real argument types.
static_assert(
    std::is_same_v<decltype(&D3D11CreateDeviceAndSwapChain),
                   HRESULT(WINAPI*)(IDXGIAdapter*, D3D_DRIVER_TYPE, HMODULE, UINT,
                                    const D3D_FEATURE_LEVEL*, UINT, UINT,
                                    const DXGI_SWAP_CHAIN_DESC*, IDXGISwapChain**, ID3D11Device**,
                                    D3D_FEATURE_LEVEL*, ID3D11DeviceContext**)>);
static_assert(std::is_same_v<decltype(&D3D11CreateDevice),
                             HRESULT(WINAPI*)(IDXGIAdapter*, D3D_DRIVER_TYPE, HMODULE, UINT,
                                              const D3D_FEATURE_LEVEL*, UINT, UINT, ID3D11Device**,
                                              D3D_FEATURE_LEVEL*, ID3D11DeviceContext**)>);
static_assert(std::is_base_of_v<ID3D11Resource, ID3D11Texture2D> &&
              std::is_base_of_v<ID3D11Resource, ID3D11Buffer> &&
              std::is_base_of_v<ID3D11View, ID3D11ShaderResourceView> &&
              std::is_base_of_v<IUnknown, IDXGISwapChain>);

EXPECT_METHOD(IUnknown, AddRef, ULONG);
EXPECT_METHOD(IUnknown, Release, ULONG);
EXPECT_METHOD(IDXGISwapChain, Present, HRESULT, UINT, UINT);
EXPECT_METHOD(IDXGISwapChain, GetBuffer, HRESULT, UINT, REFIID, void**);
EXPECT_METHOD(ID3D11Device, CreateBuffer, HRESULT, const D3D11_BUFFER_DESC*,
              const D3D11_SUBRESOURCE_DATA*, ID3D11Buffer**);
EXPECT_METHOD(ID3D11Device, CreateTexture1D, HRESULT, const D3D11_TEXTURE1D_DESC*,
              const D3D11_SUBRESOURCE_DATA*, ID3D11Texture1D**);
EXPECT_METHOD(ID3D11Device, CreateTexture2D, HRESULT, const D3D11_TEXTURE2D_DESC*,
              const D3D11_SUBRESOURCE_DATA*, ID3D11Texture2D**);
EXPECT_METHOD(ID3D11Device, CreateTexture3D, HRESULT, const D3D11_TEXTURE3D_DESC*,
              const D3D11_SUBRESOURCE_DATA*, ID3D11Texture3D**);
EXPECT_METHOD(ID3D11Device, CreateShaderResourceView, HRESULT, ID3D11Resource*,
              const D3D11_SHADER_RESOURCE_VIEW_DESC*, ID3D11ShaderResourceView**);
EXPECT_METHOD(ID3D11Device, CreateUnorderedAccessView, HRESULT, ID3D11Resource*,
              const D3D11_UNORDERED_ACCESS_VIEW_DESC*, ID3D11UnorderedAccessView**);
EXPECT_METHOD(ID3D11Device, CreateRenderTargetView, HRESULT, ID3D11Resource*,
              const D3D11_RENDER_TARGET_VIEW_DESC*, ID3D11RenderTargetView**);
EXPECT_METHOD(ID3D11Device, CreateDepthStencilView, HRESULT, ID3D11Resource*,
              const D3D11_DEPTH_STENCIL_VIEW_DESC*, ID3D11DepthStencilView**);
EXPECT_METHOD(ID3D11Device, CreateVertexShader, HRESULT, const void*, SIZE_T, ID3D11ClassLinkage*,
              ID3D11VertexShader**);
EXPECT_METHOD(ID3D11Device, CreatePixelShader, HRESULT, const void*, SIZE_T, ID3D11ClassLinkage*,
              ID3D11PixelShader**);
EXPECT_METHOD(ID3D11Device, CreateComputeShader, HRESULT, const void*, SIZE_T, ID3D11ClassLinkage*,
              ID3D11ComputeShader**);
EXPECT_METHOD(ID3D11Device, CreateRasterizerState, HRESULT, const D3D11_RASTERIZER_DESC*,
              ID3D11RasterizerState**);
EXPECT_METHOD(ID3D11Device, CreateBlendState, HRESULT, const D3D11_BLEND_DESC*, ID3D11BlendState**);
EXPECT_METHOD(ID3D11Device, CreateSamplerState, HRESULT, const D3D11_SAMPLER_DESC*,
              ID3D11SamplerState**);
EXPECT_METHOD(ID3D11DeviceContext, VSSetSamplers, void, UINT, UINT, ID3D11SamplerState* const*);
EXPECT_METHOD(ID3D11DeviceContext, PSSetSamplers, void, UINT, UINT, ID3D11SamplerState* const*);
EXPECT_METHOD(ID3D11DeviceContext, CSSetSamplers, void, UINT, UINT, ID3D11SamplerState* const*);
EXPECT_METHOD(ID3D11DeviceContext, VSSetConstantBuffers, void, UINT, UINT, ID3D11Buffer* const*);
EXPECT_METHOD(ID3D11DeviceContext, PSSetConstantBuffers, void, UINT, UINT, ID3D11Buffer* const*);
EXPECT_METHOD(ID3D11DeviceContext, CSSetConstantBuffers, void, UINT, UINT, ID3D11Buffer* const*);
EXPECT_METHOD(ID3D11DeviceContext, VSSetShaderResources, void, UINT, UINT,
              ID3D11ShaderResourceView* const*);
EXPECT_METHOD(ID3D11DeviceContext, PSSetShaderResources, void, UINT, UINT,
              ID3D11ShaderResourceView* const*);
EXPECT_METHOD(ID3D11DeviceContext, CSSetShaderResources, void, UINT, UINT,
              ID3D11ShaderResourceView* const*);
EXPECT_METHOD(ID3D11DeviceContext, CSSetUnorderedAccessViews, void, UINT, UINT,
              ID3D11UnorderedAccessView* const*, const UINT*);
EXPECT_METHOD(ID3D11DeviceContext, VSSetShader, void, ID3D11VertexShader*,
              ID3D11ClassInstance* const*, UINT);
EXPECT_METHOD(ID3D11DeviceContext, PSSetShader, void, ID3D11PixelShader*,
              ID3D11ClassInstance* const*, UINT);
EXPECT_METHOD(ID3D11DeviceContext, CSSetShader, void, ID3D11ComputeShader*,
              ID3D11ClassInstance* const*, UINT);
EXPECT_METHOD(ID3D11DeviceContext, UpdateSubresource, void, ID3D11Resource*, UINT, const D3D11_BOX*,
              const void*, UINT, UINT);
EXPECT_METHOD(ID3D11DeviceContext, RSSetViewports, void, UINT, const D3D11_VIEWPORT*);
EXPECT_METHOD(ID3D11DeviceContext, RSSetState, void, ID3D11RasterizerState*);
EXPECT_METHOD(ID3D11DeviceContext, ClearRenderTargetView, void, ID3D11RenderTargetView*,
              const FLOAT*);
EXPECT_METHOD(ID3D11DeviceContext, ClearDepthStencilView, void, ID3D11DepthStencilView*, UINT,
              FLOAT, UINT8);
EXPECT_METHOD(ID3D11DeviceContext, OMSetRenderTargets, void, UINT, ID3D11RenderTargetView* const*,
              ID3D11DepthStencilView*);
EXPECT_METHOD(ID3D11DeviceContext, OMSetBlendState, void, ID3D11BlendState*, const FLOAT*, UINT);
EXPECT_METHOD(ID3D11DeviceContext, IASetPrimitiveTopology, void, D3D11_PRIMITIVE_TOPOLOGY);
EXPECT_METHOD(ID3D11DeviceContext, DrawInstanced, void, UINT, UINT, UINT, UINT);
EXPECT_METHOD(ID3D11DeviceContext, Dispatch, void, UINT, UINT, UINT);
EXPECT_METHOD(ID3D11DeviceContext, GenerateMips, void, ID3D11ShaderResourceView*);
EXPECT_METHOD(ID3D11DeviceContext, CopyResource, void, ID3D11Resource*, ID3D11Resource*);
EXPECT_METHOD(ID3D11DeviceContext, Map, HRESULT, ID3D11Resource*, UINT, D3D11_MAP, UINT,
              D3D11_MAPPED_SUBRESOURCE*);
EXPECT_METHOD(ID3D11DeviceContext, Unmap, void, ID3D11Resource*, UINT);
EXPECT_METHOD(ID3D11Texture2D, GetDesc, void, D3D11_TEXTURE2D_DESC*);
EXPECT_METHOD(ID3D11Buffer, GetDesc, void, D3D11_BUFFER_DESC*);
EXPECT_METHOD(ID3D11ShaderResourceView, GetDesc, void, D3D11_SHADER_RESOURCE_VIEW_DESC*);
EXPECT_METHOD(ID3D11View, GetResource, void, ID3D11Resource**);

// The spelling the system uses for the back buffer's interface identifier.
[[maybe_unused]] static const IID& textureInterface = __uuidof(ID3D11Texture2D);

// What the self-check asks: the adapter through DXGI, and GPU timestamps.
static_assert(offsetof(DXGI_ADAPTER_DESC, VendorId) == 128 * sizeof(WCHAR));
static_assert(sizeof(D3D11_QUERY_DATA_TIMESTAMP_DISJOINT) == 16 && D3D11_QUERY_TIMESTAMP == 2);
EXPECT_METHOD(IDXGIDevice, GetAdapter, HRESULT, IDXGIAdapter**);
EXPECT_METHOD(IDXGIAdapter, GetDesc, HRESULT, DXGI_ADAPTER_DESC*);
EXPECT_METHOD(IDXGIAdapter, CheckInterfaceSupport, HRESULT, REFGUID, LARGE_INTEGER*);
EXPECT_METHOD(ID3D11Device, CreateQuery, HRESULT, const D3D11_QUERY_DESC*, ID3D11Query**);
EXPECT_METHOD(ID3D11DeviceContext, GetData, HRESULT, ID3D11Asynchronous*, void*, UINT, UINT);

// Present's results, the factory, its adapters and the window association.
static_assert(DXGI_STATUS_OCCLUDED == HRESULT(0x087A0001) && SUCCEEDED(DXGI_STATUS_OCCLUDED));
static_assert(DXGI_ERROR_DEVICE_REMOVED == HRESULT(0x887A0005) &&
              DXGI_ERROR_DEVICE_HUNG == HRESULT(0x887A0006) &&
              DXGI_ERROR_DEVICE_RESET == HRESULT(0x887A0007));
static_assert(DXGI_MWA_NO_ALT_ENTER == 2 && DXGI_PRESENT_TEST == 1);
static_assert(DXGI_GPU_PREFERENCE_HIGH_PERFORMANCE == 2 && DXGI_ADAPTER_FLAG_SOFTWARE == 2);
static_assert(sizeof(DXGI_ADAPTER_DESC1) == sizeof(DXGI_ADAPTER_DESC) + 8);
static_assert(offsetof(DXGI_ADAPTER_DESC1, Flags) == sizeof(DXGI_ADAPTER_DESC));
static_assert(D3D_FEATURE_LEVEL_10_1 == 0xa100);
EXPECT_METHOD(ID3D11Device, GetDeviceRemovedReason, HRESULT);
EXPECT_METHOD(IDXGIObject, GetParent, HRESULT, REFIID, void**);
EXPECT_METHOD(IDXGIFactory, MakeWindowAssociation, HRESULT, HWND, UINT);
EXPECT_METHOD(IDXGIFactory1, EnumAdapters1, HRESULT, UINT, IDXGIAdapter1**);
EXPECT_METHOD(IDXGIFactory6, EnumAdapterByGpuPreference, HRESULT, UINT, DXGI_GPU_PREFERENCE, REFIID,
              void**);
EXPECT_METHOD(IDXGIAdapter1, GetDesc1, HRESULT, DXGI_ADAPTER_DESC1*);
static_assert(std::is_same_v<decltype(&CreateDXGIFactory1), HRESULT(WINAPI*)(REFIID, void**)>);
[[maybe_unused]] static const IID& dxgiDeviceInterface = __uuidof(IDXGIDevice);
