#include "engine/parameters/parameter_map.h"

namespace engine {

void ParameterMap::set(ParameterId id, ValueParameter* parameter) {
    std::vector<Entry>& bucket = buckets_[bucketOf(id)];
    const auto found = index_.find(id);
    if (found != index_.end()) {
        bucket[found->second].parameter = parameter;
        return;
    }
    index_.emplace(id, bucket.size());
    bucket.push_back(Entry{id, parameter});
}

ValueParameter* ParameterMap::find(ParameterId id) const {
    const auto found = index_.find(id);
    if (found == index_.end()) return nullptr;
    return buckets_[bucketOf(id)][found->second].parameter;
}

void ParameterMap::clear() {
    for (std::vector<Entry>& bucket : buckets_) bucket.clear();
    index_.clear();
}

std::vector<ParameterId> ParameterMap::orderedIds() const {
    std::vector<ParameterId> ids;
    ids.reserve(index_.size());
    for (const std::vector<Entry>& bucket : buckets_) {
        for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) ids.push_back(it->id);
    }
    return ids;
}

std::vector<ValueParameter*> ParameterMap::orderedParameters() const {
    std::vector<ValueParameter*> parameters;
    parameters.reserve(index_.size());
    for (const std::vector<Entry>& bucket : buckets_) {
        for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) parameters.push_back(it->parameter);
    }
    return parameters;
}

}  // namespace engine
