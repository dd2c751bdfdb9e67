#pragma once

#include <cstdint>

#include "engine/description/reference_id.h"

struct IObserver;

namespace engine {

// One observer registration of a parameter: an added reference to the
// observer and the owner id it answered at registration. Owner ids, not
// pointers, identify an observer. Copies add a reference; destruction
// releases it.
class ObserverRecord {
public:
    ObserverRecord(IObserver* observer, int32_t ownerId);
    ObserverRecord(const ObserverRecord& other);
    ObserverRecord(ObserverRecord&& other) noexcept;
    ObserverRecord& operator=(ObserverRecord other) noexcept;
    ~ObserverRecord();

    IObserver* observer() const { return observer_; }
    int32_t ownerId() const { return ownerId_; }

    // Calls IObserver::Changed with id as a VT_I4 VARIANT; the result is ignored.
    void changed(ParameterId id) const;

private:
    IObserver* observer_;
    int32_t ownerId_;
};

// The observer's answer to GetOwnerID; 0 when it fails or observer is null.
int32_t ownerIdOf(IObserver* observer);

}  // namespace engine
