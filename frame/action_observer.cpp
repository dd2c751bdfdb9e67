#include "frame/action_observer.h"

#include <atomic>

namespace frame {
namespace {

// Owner ids of the frame's observers: counted from a base that a view's
// address-derived ids are unlikely to take.
LONG nextOwnerId() {
    static std::atomic<LONG> next{0x46520001};
    return next++;
}

std::string variantText(const VARIANT& value) {
    com::Variant text;
    if (FAILED(VariantChangeType(text.get(), &value, 0, VT_BSTR))) return "(no text)";
    return com::toUtf8(text.get()->bstrVal);
}

}  // namespace

ActionObserver::ActionObserver(EventLog& events) : events_(&events), ownerId_(nextOwnerId()) {}

HRESULT ActionObserver::Changed(VARIANT) {
    return E_NOTIMPL;
}

HRESULT ActionObserver::Finished(VARIANT para_id) {
    ++finished_;
    events_->record({"action-finished", {variantText(para_id)}, {}});
    return S_OK;
}

HRESULT ActionObserver::GetOwnerID(LONG* owner_id) {
    if (!owner_id) return E_POINTER;
    *owner_id = ownerId_;
    return S_OK;
}

}  // namespace frame
