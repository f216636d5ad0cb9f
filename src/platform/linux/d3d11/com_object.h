// Reference counting, interface lookup and device ownership shared by every object of the
// Direct3D layer. Objects start with one reference, owned by whoever asked for them.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "platform/linux/d3d11/d3d11_api.h"

namespace quavel::d3d11 {

// Interface identity: the chain of interfaces an object of type T answers to. Overload
// resolution picks the most derived declaration for a given pointer type.
inline bool answersTo(const IUnknown*, REFIID id) {
    return id == __uuidof(IUnknown);
}
inline bool answersTo(const ID3D11DeviceChild*, REFIID id) {
    return id == __uuidof(ID3D11DeviceChild) ||
           answersTo(static_cast<const IUnknown*>(nullptr), id);
}
inline bool answersTo(const ID3D11Resource*, REFIID id) {
    return id == __uuidof(ID3D11Resource) ||
           answersTo(static_cast<const ID3D11DeviceChild*>(nullptr), id);
}
inline bool answersTo(const ID3D11Buffer*, REFIID id) {
    return id == __uuidof(ID3D11Buffer) ||
           answersTo(static_cast<const ID3D11Resource*>(nullptr), id);
}
inline bool answersTo(const ID3D11Texture1D*, REFIID id) {
    return id == __uuidof(ID3D11Texture1D) ||
           answersTo(static_cast<const ID3D11Resource*>(nullptr), id);
}
inline bool answersTo(const ID3D11Texture2D*, REFIID id) {
    return id == __uuidof(ID3D11Texture2D) ||
           answersTo(static_cast<const ID3D11Resource*>(nullptr), id);
}
inline bool answersTo(const ID3D11Texture3D*, REFIID id) {
    return id == __uuidof(ID3D11Texture3D) ||
           answersTo(static_cast<const ID3D11Resource*>(nullptr), id);
}
inline bool answersTo(const ID3D11Device*, REFIID id) {
    return id == __uuidof(ID3D11Device) || answersTo(static_cast<const IUnknown*>(nullptr), id);
}
inline bool answersTo(const ID3D11DeviceContext*, REFIID id) {
    return id == __uuidof(ID3D11DeviceContext) ||
           answersTo(static_cast<const ID3D11DeviceChild*>(nullptr), id);
}
inline bool answersTo(const ID3D11Query*, REFIID id) {
    return answersTo(static_cast<const ID3D11DeviceChild*>(nullptr), id);
}
inline bool answersTo(const IDXGIDevice*, REFIID id) {
    return id == __uuidof(IDXGIDevice) || answersTo(static_cast<const IUnknown*>(nullptr), id);
}
inline bool answersTo(const IDXGIAdapter*, REFIID id) {
    return id == __uuidof(IDXGIAdapter) || answersTo(static_cast<const IUnknown*>(nullptr), id);
}
inline bool answersTo(const IDXGISwapChain*, REFIID id) {
    return id == __uuidof(IDXGISwapChain) || id == __uuidof(IDXGIObject) ||
           answersTo(static_cast<const IUnknown*>(nullptr), id);
}
inline bool answersTo(const IDXGIAdapter1*, REFIID id) {
    return id == __uuidof(IDXGIAdapter1) || id == __uuidof(IDXGIObject) ||
           answersTo(static_cast<const IDXGIAdapter*>(nullptr), id);
}
// IDXGIFactory6 is answered only by factories that offer it (dxgi_factory.cpp).
inline bool answersTo(const IDXGIFactory6*, REFIID id) {
    return id == __uuidof(IDXGIFactory1) || id == __uuidof(IDXGIFactory) ||
           id == __uuidof(IDXGIObject) || answersTo(static_cast<const IUnknown*>(nullptr), id);
}

// Direct3D counts two kinds of references. Public ones are the application's (AddRef,
// Release, every Create and Get); internal ones are the runtime's own, such as the context's
// bindings. Release reports only the public count, and an object whose public count reaches
// zero lets go of its device at once, so a device is destroyed when the application releases
// its last reference, whatever is still bound. The object itself lives until both are zero.
class InternallyCounted {
public:
    virtual void addInternalReference() = 0;
    virtual void releaseInternalReference() = 0;

protected:
    ~InternallyCounted() = default;
};

template <class Interface> class ComObject : public Interface, public InternallyCounted {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG AddRef() override { return static_cast<ULONG>((counts_.fetch_add(1) & publicMask) + 1); }

    ULONG Release() override {
        const uint64_t left = counts_.fetch_sub(1) - 1;
        const auto publicLeft = static_cast<ULONG>(left & publicMask);
        if (left == 0) {
            delete this;
        } else if (publicLeft == 0) {
            lastPublicReferenceReleased();
        }
        return publicLeft;
    }

    void addInternalReference() override { counts_.fetch_add(internalOne); }

    void releaseInternalReference() override {
        if (counts_.fetch_sub(internalOne) == internalOne) {
            delete this;
        }
    }

    HRESULT QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (!answersTo(static_cast<const Interface*>(this), id)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

protected:
    // Called once the public count reaches zero while internal references remain.
    virtual void lastPublicReferenceReleased() {}

private:
    // Public count in the low half, internal count in the high half: one atomic word, so the
    // two reaching zero together is seen by exactly one caller.
    static constexpr uint64_t publicMask = 0xffffffffu;
    static constexpr uint64_t internalOne = uint64_t{1} << 32;
    std::atomic<uint64_t> counts_{1};
};

class Device;
ID3D11Device* asInterface(Device* device);

// A device child holds a public reference to its device while the application holds it;
// after that only the bindings keep it, and they go when the device goes.
template <class Interface> class DeviceChildObject : public ComObject<Interface> {
public:
    explicit DeviceChildObject(Device& device) : device_(device) {
        asInterface(&device_)->AddRef();
    }
    ~DeviceChildObject() override {
        if (holdsDevice_) {
            asInterface(&device_)->Release();
        }
    }

    void GetDevice(ID3D11Device** device) override {
        if (device != nullptr) {
            *device = asInterface(&device_);
            (*device)->AddRef();
        }
    }

    Device& device() const { return device_; }

protected:
    void lastPublicReferenceReleased() override {
        if (holdsDevice_) {
            holdsDevice_ = false;
            asInterface(&device_)->Release();
        }
    }

private:
    Device& device_;
    bool holdsDevice_ = true;
};

// An internal reference to an interface, as the context keeps for everything bound to it
// and a view for its resource. Objects not made by this layer get a public one.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(T* object) : object_(object) { acquire(); }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref& operator=(const Ref& other) {
        Ref copy(other);
        std::swap(object_, copy.object_);
        return *this;
    }
    ~Ref() {
        if (object_ == nullptr) {
            return;
        }
        if (auto* counted = dynamic_cast<InternallyCounted*>(object_)) {
            counted->releaseInternalReference();
        } else {
            object_->Release();
        }
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    void acquire() {
        if (object_ == nullptr) {
            return;
        }
        if (auto* counted = dynamic_cast<InternallyCounted*>(object_)) {
            counted->addInternalReference();
        } else {
            object_->AddRef();
        }
    }

    T* object_ = nullptr;
};

} // namespace quavel::d3d11
