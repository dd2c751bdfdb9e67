#pragma once
// The frame's data-set locks, one per system tag. A DTM that holds its lock
// and asks again is granted it again; an unlock answers whether the tag held
// the lock. Refusals can be programmed to try the DTM's handling of them.

#include <set>
#include <string>

namespace frame {

class DataSetLocks {
public:
    // TRUE: the tag holds the lock now. FALSE while a programmed refusal is left
    // (each refusal is used up by one request).
    bool lock(const std::string& systemTag);
    // TRUE when the tag held the lock; it is free afterwards.
    bool unlock(const std::string& systemTag);
    bool isLocked(const std::string& systemTag) const { return locked_.count(systemTag) != 0; }

    // The next `count` lock requests are refused.
    void refuseNext(unsigned count) { refusals_ += count; }
    void clearRefusals() { refusals_ = 0; }

private:
    std::set<std::string> locked_;
    unsigned refusals_ = 0;
};

}  // namespace frame
