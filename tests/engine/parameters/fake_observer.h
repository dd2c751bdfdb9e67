#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "platform/com/no_late_binding.h"
#include "idl/qad_generic_dtm.h"

namespace engine::testing {

// An IObserver that records the ids it is told about. Reference counted like a
// COM object; tests keep it on the stack and check that the engine released
// every reference it took.
class FakeObserver : public com::NoLateBinding<IObserver> {
public:
    explicit FakeObserver(LONG ownerId) : ownerId_(ownerId) {}
    virtual ~FakeObserver() = default;

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        if (riid == IUnknown::iid || riid == IDispatch::iid || riid == IObserver::iid) {
            *ppv = static_cast<IObserver*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override { return --references_; }

    HRESULT Changed(VARIANT para_id) override {
        changedTypes.push_back(para_id.vt);
        changed.push_back(para_id.lVal);
        if (onChanged) onChanged(para_id.lVal);
        return S_OK;
    }
    HRESULT Finished(VARIANT) override { return S_OK; }
    HRESULT GetOwnerID(LONG* owner_id) override {
        if (owner_id == nullptr) return E_POINTER;
        *owner_id = ownerId_;
        return S_OK;
    }

    ULONG references() const { return references_; }

    std::vector<int32_t> changed;
    std::vector<VARTYPE> changedTypes;
    std::function<void(int32_t)> onChanged;

private:
    LONG ownerId_;
    ULONG references_ = 0;
};

}  // namespace engine::testing
