#include "engine/parameters/observer_record.h"

#include <utility>

#include "idl/qad_generic_dtm.h"

namespace engine {

ObserverRecord::ObserverRecord(IObserver* observer, int32_t ownerId)
    : observer_(observer), ownerId_(ownerId) {
    if (observer_ != nullptr) observer_->AddRef();
}

ObserverRecord::ObserverRecord(const ObserverRecord& other)
    : ObserverRecord(other.observer_, other.ownerId_) {}

ObserverRecord::ObserverRecord(ObserverRecord&& other) noexcept
    : observer_(std::exchange(other.observer_, nullptr)), ownerId_(other.ownerId_) {}

ObserverRecord& ObserverRecord::operator=(ObserverRecord other) noexcept {
    std::swap(observer_, other.observer_);
    std::swap(ownerId_, other.ownerId_);
    return *this;
}

ObserverRecord::~ObserverRecord() {
    if (observer_ != nullptr) observer_->Release();
}

void ObserverRecord::changed(ParameterId id) const {
    if (observer_ == nullptr) return;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = id;
    observer_->Changed(argument);
}

int32_t ownerIdOf(IObserver* observer) {
    if (observer == nullptr) return 0;
    LONG ownerId = 0;
    if (FAILED(observer->GetOwnerID(&ownerId))) return 0;
    return ownerId;
}

}  // namespace engine
