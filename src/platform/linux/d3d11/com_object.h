// Reference counting, interface lookup and device ownership shared by every object of the
// Direct3D layer. Objects start with one reference, owned by whoever asked for them.
#pragma once

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
inline bool answersTo(const IDXGISwapChain*, REFIID id) {
    return id == __uuidof(IDXGISwapChain) || answersTo(static_cast<const IUnknown*>(nullptr), id);
}

template <class Interface> class ComObject : public Interface {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
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

private:
    ULONG references_ = 1;
};

class Device;
ID3D11Device* asInterface(Device* device);

// A device child keeps its device, and with it the OpenGL context, alive.
template <class Interface> class DeviceChildObject : public ComObject<Interface> {
public:
    explicit DeviceChildObject(Device& device) : device_(device) {
        asInterface(&device_)->AddRef();
    }
    ~DeviceChildObject() override { asInterface(&device_)->Release(); }

    void GetDevice(ID3D11Device** device) override {
        if (device != nullptr) {
            *device = asInterface(&device_);
            (*device)->AddRef();
        }
    }

    Device& device() const { return device_; }

private:
    Device& device_;
};

// An owning reference to an interface, as the context keeps for everything bound to it.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(T* object) : object_(object) {
        if (object_ != nullptr) {
            object_->AddRef();
        }
    }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref& operator=(const Ref& other) {
        Ref copy(other);
        std::swap(object_, copy.object_);
        return *this;
    }
    ~Ref() {
        if (object_ != nullptr) {
            object_->Release();
        }
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace quavel::d3d11
