#pragma once
// Writing COM classes: an implementation class derives from ComObjectRoot and
// from its interfaces and states its QueryInterface table once, in order (the
// first entry whose IID matches wins). ComInstance<Impl> is the concrete object:
// it supplies IUnknown, with aggregation as in COM.
//
//   class Counter : public com::ComObjectRoot, public ICounter {
//   public:
//       static std::span<const com::InterfaceEntry> interfaces() {
//           static constexpr com::InterfaceEntry table[] = {
//               com::entry<Counter, ICounter>(),
//               com::entryAs<Counter, ICounter>(IDispatch::iid),
//           };
//           return table;
//       }
//       ...
//   };
//   com::ComPtr<ICounter> c;
//   HRESULT hr = com::ComInstance<Counter>::create(nullptr, ICounter::iid, c.putVoid());
//
// Aggregation: created with an outer unknown, the object keeps it as its
// controlling unknown; the IUnknown methods of all its interfaces delegate to
// it, and only the non-delegating IUnknown (handed to the outer object at
// creation) answers from the table and counts the inner object's references.

#include <atomic>
#include <new>
#include <span>
#include <utility>

#include "platform/com/comptr.h"
#include "platform/com/interfaces.h"
#include "platform/com/module_state.h"

namespace com {

class ComObjectRoot;

// One row of a QueryInterface table: either an interface of the object itself
// (cast) or an IID answered by an aggregated inner object (forward).
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(ComObjectRoot* object);
    HRESULT (*forward)(ComObjectRoot* object, REFIID riid, void** ppv);
};

template <class Impl, class Itf>
IUnknown* castToInterface(ComObjectRoot* object) {
    return static_cast<Itf*>(static_cast<Impl*>(object));
}

// Table entry: interface Itf answered under its own IID.
template <class Impl, class Itf>
constexpr InterfaceEntry entry() {
    return {&Itf::iid, &castToInterface<Impl, Itf>, nullptr};
}

// Table entry: another IID (IDispatch, IPersist, ...) answered by the implementation of Itf.
template <class Impl, class Itf>
constexpr InterfaceEntry entryAs(const IID& iid) {
    return {&iid, &castToInterface<Impl, Itf>, nullptr};
}

template <class Impl, auto Inner>
HRESULT forwardToInner(ComObjectRoot* object, REFIID riid, void** ppv) {
    const auto& inner = static_cast<Impl*>(object)->*Inner;
    if (!inner) return E_NOINTERFACE;
    return inner->QueryInterface(riid, ppv);
}

// Table entry: the IID is answered by an aggregated inner object, through the
// non-delegating IUnknown that Impl keeps in the member Inner (a ComPtr<IUnknown>).
template <class Impl, auto Inner>
constexpr InterfaceEntry entryAggregate(const IID& iid) {
    return {&iid, nullptr, &forwardToInner<Impl, Inner>};
}

class ComObjectRoot {
public:
    ComObjectRoot(const ComObjectRoot&) = delete;
    ComObjectRoot& operator=(const ComObjectRoot&) = delete;

    // The outer object when aggregated, else the object's own IUnknown. Not AddRef'ed.
    IUnknown* controllingUnknown() const noexcept { return outer_; }
    bool isAggregated() const noexcept { return outer_ != &inner_; }
    // The IUnknown that answers from this object's own table. Not AddRef'ed.
    IUnknown* nonDelegatingUnknown() noexcept { return &inner_; }

protected:
    ComObjectRoot() : inner_(*this), outer_(&inner_) {}
    virtual ~ComObjectRoot() = default;

    // Runs once after construction, before the object is handed out; the object
    // holds one reference meanwhile. A failure destroys the object and is the
    // result of the creation.
    virtual HRESULT finalConstruct() { return S_OK; }
    // Runs when the last reference goes, before destruction.
    virtual void finalRelease() {}

    // The delegating IUnknown that every interface of the object answers with.
    HRESULT delegatingQueryInterface(REFIID riid, void** ppv) { return outer_->QueryInterface(riid, ppv); }
    ULONG delegatingAddRef() { return outer_->AddRef(); }
    ULONG delegatingRelease() { return outer_->Release(); }

private:
    template <class>
    friend class ComInstance;

    class NonDelegatingUnknown final : public IUnknown {
    public:
        explicit NonDelegatingUnknown(ComObjectRoot& owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID riid, void** ppv) override { return owner_.tableQueryInterface(riid, ppv); }
        ULONG AddRef() override { return ++owner_.references_; }
        ULONG Release() override {
            const ULONG left = --owner_.references_;
            if (left == 0) {
                owner_.references_ = 1;  // guards against re-entry while finalRelease runs
                owner_.finalRelease();
                delete &owner_;
            }
            return left;
        }

    private:
        ComObjectRoot& owner_;
    };

    virtual std::span<const InterfaceEntry> table() const = 0;

    HRESULT tableQueryInterface(REFIID riid, void** ppv) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        IUnknown* found = nullptr;
        if (riid == IUnknown::iid) {
            found = &inner_;
        } else {
            for (const InterfaceEntry& e : table()) {
                if (*e.iid != riid) continue;
                if (e.forward) return e.forward(this, riid, ppv);
                found = e.cast(this);
                break;
            }
        }
        if (!found) return E_NOINTERFACE;
        found->AddRef();
        *ppv = found;
        return S_OK;
    }

    NonDelegatingUnknown inner_;
    IUnknown* outer_;
    std::atomic<ULONG> references_{0};
};

template <class Impl>
class ComInstance final : public Impl {
public:
    // Creates an object and queries it for riid. With an outer unknown the
    // object is aggregated and riid must be IUnknown (CLASS_E_NOAGGREGATION
    // otherwise); *ppv then receives the non-delegating IUnknown.
    template <class... Args>
    static HRESULT create(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer && riid != IUnknown::iid) return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) ComInstance(std::forward<Args>(args)...);
        if (!object) return E_OUTOFMEMORY;
        if (outer) object->outer_ = outer;
        IUnknown* self = object->nonDelegatingUnknown();
        self->AddRef();
        HRESULT hr = object->finalConstruct();
        if (SUCCEEDED(hr)) hr = object->tableQueryInterface(riid, ppv);
        self->Release();
        return hr;
    }

    // Creates a free-standing object and returns it as Itf.
    template <class Itf, class... Args>
    static ComPtr<Itf> make(Args&&... args) {
        ComPtr<Itf> result;
        create(nullptr, Itf::iid, result.putVoid(), std::forward<Args>(args)...);
        return result;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override { return this->delegatingQueryInterface(riid, ppv); }
    ULONG AddRef() override { return this->delegatingAddRef(); }
    ULONG Release() override { return this->delegatingRelease(); }

private:
    template <class... Args>
    explicit ComInstance(Args&&... args) : Impl(std::forward<Args>(args)...) {
        thisModule().objectCreated();
    }
    ~ComInstance() override { thisModule().objectDestroyed(); }

    std::span<const InterfaceEntry> table() const override { return Impl::interfaces(); }
};

// Whether Impl may be created as the inner object of an aggregate. A class says
// no with `static constexpr bool allowsAggregation = false;`.
template <class Impl>
constexpr bool allowsAggregation() {
    if constexpr (requires { Impl::allowsAggregation; }) {
        return Impl::allowsAggregation;
    } else {
        return true;
    }
}

// The class factory of Impl; counts as a live object of the module while it exists.
template <class Impl>
class ClassFactory : public ComObjectRoot, public IClassFactory {
public:
    static std::span<const InterfaceEntry> interfaces() {
        static constexpr InterfaceEntry table[] = {entry<ClassFactory, IClassFactory>()};
        return table;
    }

    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer && !allowsAggregation<Impl>()) return CLASS_E_NOAGGREGATION;
        try {
            return ComInstance<Impl>::create(outer, riid, ppv);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT LockServer(BOOL lock) override {
        if (lock) {
            thisModule().lock();
        } else {
            thisModule().unlock();
        }
        return S_OK;
    }
};

}  // namespace com
