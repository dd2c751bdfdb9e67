#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/description/reference_id.h"

namespace engine {

class ValueParameter;

// The root container's map from reference id to parameter object. Its
// iteration order is part of the system's behaviour (data-set texts, every
// walk over the parameters): 17 buckets, bucket = (id >> 4) mod 17 on the
// unsigned 32-bit id, walked from bucket 0 to 16 and, within a bucket, from
// the most recently inserted id. Storing under an id that is already present
// replaces the object and keeps the id's place. Holds no ownership.
class ParameterMap {
public:
    static constexpr uint32_t kBucketCount = 17;
    static uint32_t bucketOf(ParameterId id) {
        return (static_cast<uint32_t>(id) >> 4) % kBucketCount;
    }

    void set(ParameterId id, ValueParameter* parameter);
    ValueParameter* find(ParameterId id) const;
    bool contains(ParameterId id) const { return index_.count(id) != 0; }
    size_t size() const { return index_.size(); }
    bool empty() const { return index_.empty(); }
    void clear();

    // Every id in iteration order.
    std::vector<ParameterId> orderedIds() const;
    // Every object in iteration order.
    std::vector<ValueParameter*> orderedParameters() const;

private:
    struct Entry {
        ParameterId id;
        ValueParameter* parameter;
    };
    // Each bucket holds its entries oldest first; iteration runs backwards.
    std::array<std::vector<Entry>, kBucketCount> buckets_;
    std::unordered_map<ParameterId, size_t> index_;  // id -> position in its bucket
};

}  // namespace engine
