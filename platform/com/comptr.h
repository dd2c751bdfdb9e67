#pragma once
// ComPtr: holds one reference to a COM interface and releases it.

#include <cstddef>
#include <utility>

#include "platform/com/interfaces.h"

namespace com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adds a reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr attach(T* p) {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    // Gives the reference up to the caller.
    T* detach() { return std::exchange(p_, nullptr); }
    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Releases the held reference and returns the slot for an out argument.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // QueryInterface for U; an empty pointer when the object lacks it.
    template <class U>
    ComPtr<U> as() const {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(U::iid, result.putVoid());
        return result;
    }
    // Hands an added reference to an out argument; E_POINTER for a null slot.
    HRESULT copyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// COM identity: two interface pointers belong to one object when their IUnknowns are equal.
inline bool sameObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ua, ub;
    a->QueryInterface(IUnknown::iid, ua.putVoid());
    b->QueryInterface(IUnknown::iid, ub.putVoid());
    return ua.get() == ub.get();
}

}  // namespace com
