#pragma once
// Live-object and lock counts of the module (shared library or executable) that
// this header is compiled into. Each module has its own counts, because every
// module keeps its own hidden copy of the platform code.

#include <atomic>

namespace com {

class ModuleState {
public:
    void objectCreated() noexcept { objects_.fetch_add(1, std::memory_order_relaxed); }
    void objectDestroyed() noexcept { objects_.fetch_sub(1, std::memory_order_relaxed); }
    void lock() noexcept { locks_.fetch_add(1, std::memory_order_relaxed); }
    void unlock() noexcept { locks_.fetch_sub(1, std::memory_order_relaxed); }
    long objects() const noexcept { return objects_.load(std::memory_order_relaxed); }
    long locks() const noexcept { return locks_.load(std::memory_order_relaxed); }
    // True when no object lives and no client holds a server lock.
    bool canUnload() const noexcept { return objects() == 0 && locks() == 0; }

private:
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

inline ModuleState& thisModule() {
    static ModuleState state;
    return state;
}

}  // namespace com
