#include "platform/linux/d3d11/views.h"

#include <new>

#include "platform/linux/d3d11/device.h"
#include "platform/linux/d3d11/refusals.h"

namespace quavel::d3d11 {
namespace {

constexpr UINT allRemaining = static_cast<UINT>(-1);

template <class Interface, class Desc>
class ViewObject final : public DeviceChildObject<Interface>, public GlView {
public:
    // The view holds its resource with a public reference while the application holds the
    // view, and with an internal one after that (while only bindings keep the view).
    ViewObject(Device& device, ID3D11Resource* viewed, const Desc& desc)
        : DeviceChildObject<Interface>(device), viewed_(viewed), desc_(desc) {
        resource = glResource(viewed);
        viewed_->AddRef();
    }
    ~ViewObject() override {
        if (ownsTexture) {
            this->device().makeCurrent();
            glDeleteTextures(1, &texture);
        }
        if (publicHold_) {
            viewed_->Release();
        } else if (auto* counted = dynamic_cast<InternallyCounted*>(viewed_)) {
            counted->releaseInternalReference();
        }
    }
    void GetResource(ID3D11Resource** out) override {
        *out = viewed_;
        (*out)->AddRef();
    }
    void GetDesc(Desc* desc) override { *desc = desc_; }
    DXGI_FORMAT requestedFormat() const { return desc_.Format; }

    bool ownsTexture = false;

protected:
    void lastPublicReferenceReleased() override {
        auto* counted = dynamic_cast<InternallyCounted*>(viewed_);
        if (publicHold_ && counted != nullptr) {
            counted->addInternalReference();
            publicHold_ = false;
            viewed_->Release();
        }
        DeviceChildObject<Interface>::lastPublicReferenceReleased();
    }

private:
    ID3D11Resource* viewed_;
    bool publicHold_ = true;
    Desc desc_;
};

// The view dimension value that matches a texture resource, per view kind.
template <class Dimension> struct DimensionOf {
    Dimension texture1D, texture2D, texture3D;
    Dimension of(D3D11_RESOURCE_DIMENSION dimension) const {
        switch (dimension) {
        case D3D11_RESOURCE_DIMENSION_TEXTURE1D:
            return texture1D;
        case D3D11_RESOURCE_DIMENSION_TEXTURE2D:
            return texture2D;
        default:
            return texture3D;
        }
    }
};

constexpr DimensionOf<D3D11_SRV_DIMENSION> srvDimensions = {
    D3D11_SRV_DIMENSION_TEXTURE1D, D3D11_SRV_DIMENSION_TEXTURE2D, D3D11_SRV_DIMENSION_TEXTURE3D};
constexpr DimensionOf<D3D11_UAV_DIMENSION> uavDimensions = {
    D3D11_UAV_DIMENSION_TEXTURE1D, D3D11_UAV_DIMENSION_TEXTURE2D, D3D11_UAV_DIMENSION_TEXTURE3D};
constexpr DimensionOf<D3D11_RTV_DIMENSION> rtvDimensions = {
    D3D11_RTV_DIMENSION_TEXTURE1D, D3D11_RTV_DIMENSION_TEXTURE2D, D3D11_RTV_DIMENSION_TEXTURE3D};
// There is no 3D depth view; UNKNOWN never matches a valid description.
constexpr DimensionOf<D3D11_DSV_DIMENSION> dsvDimensions = {
    D3D11_DSV_DIMENSION_TEXTURE1D, D3D11_DSV_DIMENSION_TEXTURE2D, D3D11_DSV_DIMENSION_UNKNOWN};

// A texture's view names its format; UNKNOWN is for structured buffers only.
bool formatMatches(DXGI_FORMAT requested, const GlResource& texture) {
    return requested == texture.format->format;
}

// A structured buffer range in bytes; false when it leaves the buffer or cannot be bound.
bool resolveBufferRange(Device& device, const GlResource& buffer, UINT first, UINT count,
                        GlView& view) {
    UINT stride = buffer.structureStride;
    UINT elements = stride ? buffer.byteWidth / stride : 0;
    if (stride == 0 || count == 0 || first > elements || count > elements - first) {
        return false;
    }
    view.offset = GLintptr(first) * stride;
    view.size = GLsizeiptr(count) * stride;
    return view.offset % device.limits().storageBufferOffsetAlignment == 0;
}

template <class Interface, class Desc, class Out>
HRESULT publish(const char* call, ViewObject<Interface, Desc>* view, bool valid, Out** out) {
    if (!valid) {
        const bool unknownOnTexture =
            !view->resource->isBuffer() && view->requestedFormat() == DXGI_FORMAT_UNKNOWN;
        view->Release();
        return refuse(call, unknownOnTexture
                                ? "Format UNKNOWN: a texture view names its format"
                                : "the description does not fit the resource (format, view "
                                  "dimension, mip range or element range)");
    }
    if (out == nullptr) {
        view->Release();
        return S_FALSE;
    }
    *out = view;
    return S_OK;
}

} // namespace

GlView* glView(ID3D11View* view) {
    return dynamic_cast<GlView*>(view);
}

HRESULT createShaderResourceView(Device& device, ID3D11Resource* resource,
                                 const D3D11_SHADER_RESOURCE_VIEW_DESC* requested,
                                 ID3D11ShaderResourceView** out) {
    GlResource* viewed = glResource(resource);
    if (viewed == nullptr || !(viewed->bindFlags & D3D11_BIND_SHADER_RESOURCE)) {
        return refuse("CreateShaderResourceView",
                      "not a resource of this device, or one without the bind flag "
                      "for this view");
    }
    D3D11_SHADER_RESOURCE_VIEW_DESC desc = {};
    if (requested != nullptr) {
        desc = *requested;
    } else if (viewed->isBuffer()) {
        desc.ViewDimension = D3D11_SRV_DIMENSION_BUFFER;
        desc.Buffer.NumElements =
            viewed->structureStride ? viewed->byteWidth / viewed->structureStride : 0;
    } else {
        desc.Format = viewed->format->format;
        desc.ViewDimension = srvDimensions.of(viewed->dimension);
        desc.Texture2D.MipLevels = viewed->levels; // same place in the 1D, 2D and 3D members
    }
    auto* view = new (std::nothrow)
        ViewObject<ID3D11ShaderResourceView, D3D11_SHADER_RESOURCE_VIEW_DESC>(device, resource,
                                                                              desc);
    if (view == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (viewed->isBuffer()) {
        bool valid = desc.ViewDimension == D3D11_SRV_DIMENSION_BUFFER &&
                     desc.Format == DXGI_FORMAT_UNKNOWN &&
                     resolveBufferRange(device, *viewed, desc.Buffer.FirstElement,
                                        desc.Buffer.NumElements, *view);
        view->texture = viewed->name;
        return publish("CreateShaderResourceView", view, valid, out);
    }
    UINT first = desc.Texture2D.MostDetailedMip;
    UINT count = desc.Texture2D.MipLevels == allRemaining && first < viewed->levels
                     ? viewed->levels - first
                     : desc.Texture2D.MipLevels;
    bool valid = desc.ViewDimension == srvDimensions.of(viewed->dimension) &&
                 formatMatches(desc.Format, *viewed) && count != 0 && first < viewed->levels &&
                 count <= viewed->levels - first;
    if (valid) {
        // A texture view gives the shader exactly the chosen mip range.
        device.makeCurrent();
        glGenTextures(1, &view->texture);
        glTextureView(view->texture, viewed->target, viewed->name, viewed->format->internalFormat,
                      first, count, 0, 1);
        glTextureParameteri(view->texture, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTextureParameteri(view->texture, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        view->ownsTexture = true;
        view->target = viewed->target;
        view->format = viewed->format;
        view->level = first;
    }
    return publish("CreateShaderResourceView", view, valid, out);
}

HRESULT createUnorderedAccessView(Device& device, ID3D11Resource* resource,
                                  const D3D11_UNORDERED_ACCESS_VIEW_DESC* requested,
                                  ID3D11UnorderedAccessView** out) {
    GlResource* viewed = glResource(resource);
    if (viewed == nullptr || !(viewed->bindFlags & D3D11_BIND_UNORDERED_ACCESS)) {
        return refuse("CreateUnorderedAccessView",
                      "not a resource of this device, or one without the bind flag "
                      "for this view");
    }
    D3D11_UNORDERED_ACCESS_VIEW_DESC desc = {};
    if (requested != nullptr) {
        desc = *requested;
    } else if (viewed->isBuffer()) {
        desc.ViewDimension = D3D11_UAV_DIMENSION_BUFFER;
        desc.Buffer.NumElements =
            viewed->structureStride ? viewed->byteWidth / viewed->structureStride : 0;
    } else {
        desc.Format = viewed->format->format;
        desc.ViewDimension = uavDimensions.of(viewed->dimension);
        if (viewed->dimension == D3D11_RESOURCE_DIMENSION_TEXTURE3D) {
            desc.Texture3D.WSize = viewed->depth;
        }
    }
    auto* view = new (std::nothrow)
        ViewObject<ID3D11UnorderedAccessView, D3D11_UNORDERED_ACCESS_VIEW_DESC>(device, resource,
                                                                                desc);
    if (view == nullptr) {
        return E_OUTOFMEMORY;
    }
    view->texture = viewed->name;
    if (viewed->isBuffer()) {
        // Append, counter and raw views need machinery the system never uses.
        bool valid = desc.ViewDimension == D3D11_UAV_DIMENSION_BUFFER &&
                     desc.Format == DXGI_FORMAT_UNKNOWN && desc.Buffer.Flags == 0 &&
                     resolveBufferRange(device, *viewed, desc.Buffer.FirstElement,
                                        desc.Buffer.NumElements, *view);
        return publish("CreateUnorderedAccessView", view, valid, out);
    }
    UINT level = desc.Texture2D.MipSlice; // same place in the 1D, 2D and 3D members
    bool valid = desc.ViewDimension == uavDimensions.of(viewed->dimension) &&
                 formatMatches(desc.Format, *viewed) && level < viewed->levels;
    if (viewed->dimension == D3D11_RESOURCE_DIMENSION_TEXTURE3D) {
        // Shaders address 3D images from slice 0, so the view must start there.
        UINT slices = viewed->levelDepth(level);
        UINT size = desc.Texture3D.WSize == allRemaining ? slices : desc.Texture3D.WSize;
        valid = valid && desc.Texture3D.FirstWSlice == 0 && size != 0 && size <= slices;
        view->layered = true;
    }
    view->target = viewed->target;
    view->level = level;
    view->format = viewed->format;
    return publish("CreateUnorderedAccessView", view, valid, out);
}

HRESULT createRenderTargetView(Device& device, ID3D11Resource* resource,
                               const D3D11_RENDER_TARGET_VIEW_DESC* requested,
                               ID3D11RenderTargetView** out) {
    GlResource* viewed = glResource(resource);
    if (viewed == nullptr || viewed->isBuffer() ||
        !(viewed->bindFlags & D3D11_BIND_RENDER_TARGET)) {
        return refuse("CreateRenderTargetView",
                      "not a resource of this device, or one without the bind flag "
                      "for this view");
    }
    D3D11_RENDER_TARGET_VIEW_DESC desc = {};
    if (requested != nullptr) {
        desc = *requested;
    } else {
        desc.Format = viewed->format->format;
        desc.ViewDimension = rtvDimensions.of(viewed->dimension);
        if (viewed->dimension == D3D11_RESOURCE_DIMENSION_TEXTURE3D) {
            desc.Texture3D.WSize = viewed->depth;
        }
    }
    auto* view = new (std::nothrow)
        ViewObject<ID3D11RenderTargetView, D3D11_RENDER_TARGET_VIEW_DESC>(device, resource, desc);
    if (view == nullptr) {
        return E_OUTOFMEMORY;
    }
    UINT level = desc.Texture2D.MipSlice;
    // Render targets are single 1D or 2D images; 3D textures take the bind flag only so that
    // their mip chains can be generated.
    bool valid = desc.ViewDimension == rtvDimensions.of(viewed->dimension) &&
                 viewed->dimension != D3D11_RESOURCE_DIMENSION_TEXTURE3D &&
                 formatMatches(desc.Format, *viewed) && level < viewed->levels;
    view->texture = viewed->name;
    view->target = viewed->target;
    view->level = level;
    view->format = viewed->format;
    return publish("CreateRenderTargetView", view, valid, out);
}

HRESULT createDepthStencilView(Device& device, ID3D11Resource* resource,
                               const D3D11_DEPTH_STENCIL_VIEW_DESC* requested,
                               ID3D11DepthStencilView** out) {
    GlResource* viewed = glResource(resource);
    if (viewed == nullptr || viewed->isBuffer() ||
        !(viewed->bindFlags & D3D11_BIND_DEPTH_STENCIL)) {
        return refuse("CreateDepthStencilView",
                      "not a resource of this device, or one without the bind flag "
                      "for this view");
    }
    D3D11_DEPTH_STENCIL_VIEW_DESC desc = {};
    if (requested != nullptr) {
        desc = *requested;
    } else {
        desc.Format = viewed->format->format;
        desc.ViewDimension = dsvDimensions.of(viewed->dimension);
    }
    auto* view = new (std::nothrow)
        ViewObject<ID3D11DepthStencilView, D3D11_DEPTH_STENCIL_VIEW_DESC>(device, resource, desc);
    if (view == nullptr) {
        return E_OUTOFMEMORY;
    }
    UINT level = desc.Texture2D.MipSlice;
    bool valid = desc.ViewDimension == dsvDimensions.of(viewed->dimension) &&
                 formatMatches(desc.Format, *viewed) && desc.Flags == 0 && level < viewed->levels;
    view->texture = viewed->name;
    view->target = viewed->target;
    view->level = level;
    view->format = viewed->format;
    return publish("CreateDepthStencilView", view, valid, out);
}

} // namespace quavel::d3d11
