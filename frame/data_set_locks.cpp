#include "frame/data_set_locks.h"

namespace frame {

bool DataSetLocks::lock(const std::string& systemTag) {
    if (refusals_ > 0) {
        --refusals_;
        return false;
    }
    locked_.insert(systemTag);
    return true;
}

bool DataSetLocks::unlock(const std::string& systemTag) {
    return locked_.erase(systemTag) != 0;
}

}  // namespace frame
