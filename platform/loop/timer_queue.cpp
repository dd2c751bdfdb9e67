#include "platform/loop/timer_queue.h"

#include <algorithm>
#include <iterator>

namespace hartdtm::loop {

TimerQueue::Key TimerQueue::keyOf(const void* owner, TimerId id) {
    return {reinterpret_cast<std::uintptr_t>(owner), id};
}

void TimerQueue::insert(const Key& key, Milliseconds due, Callback callback) {
    const Order order{due.count(), nextSequence_++};
    timers_.emplace(key, Armed{order, std::move(callback)});
    byDue_.emplace(order, key);
}

void TimerQueue::erase(std::map<Key, Armed>::iterator timer) {
    byDue_.erase(timer->second.order);
    timers_.erase(timer);
}

bool TimerQueue::arm(const void* owner, TimerId id, Milliseconds due, Callback callback) {
    const Key key = keyOf(owner, id);
    if (timers_.contains(key)) return false;
    insert(key, due, std::move(callback));
    return true;
}

void TimerQueue::rearm(const void* owner, TimerId id, Milliseconds due, Callback callback) {
    const Key key = keyOf(owner, id);
    if (auto found = timers_.find(key); found != timers_.end()) erase(found);
    insert(key, due, std::move(callback));
}

bool TimerQueue::kill(const void* owner, TimerId id) {
    auto found = timers_.find(keyOf(owner, id));
    if (found == timers_.end()) return false;
    erase(found);
    return true;
}

bool TimerQueue::isArmed(const void* owner, TimerId id) const {
    return timers_.contains(keyOf(owner, id));
}

void TimerQueue::post(const void* owner, Callback callback) {
    posted_.push_back(
        Posted{nextSequence_++, reinterpret_cast<std::uintptr_t>(owner), std::move(callback)});
}

std::size_t TimerQueue::cancelAll(const void* owner) {
    const auto ownerKey = reinterpret_cast<std::uintptr_t>(owner);
    std::size_t dropped = 0;
    // Timers of one owner are adjacent in the key order.
    auto timer = timers_.lower_bound(Key{ownerKey, 0});
    while (timer != timers_.end() && timer->first.first == ownerKey) {
        erase(timer++);
        ++dropped;
    }
    const auto before = posted_.size();
    std::erase_if(posted_, [ownerKey](const Posted& call) { return call.owner == ownerKey; });
    return dropped + (before - posted_.size());
}

std::optional<Milliseconds> TimerQueue::nextTimerDue() const {
    if (byDue_.empty()) return std::nullopt;
    return Milliseconds{byDue_.begin()->first.first};
}

std::optional<Callback> TimerQueue::takePosted(std::uint64_t mark) {
    if (posted_.empty() || posted_.front().sequence >= mark) return std::nullopt;
    Callback callback = std::move(posted_.front().callback);
    posted_.pop_front();
    return callback;
}

std::optional<TimerQueue::DueTimer> TimerQueue::takeTimerDueBy(Milliseconds limit) {
    if (byDue_.empty() || byDue_.begin()->first.first > limit.count()) return std::nullopt;
    auto timer = timers_.find(byDue_.begin()->second);
    DueTimer due{Milliseconds{timer->second.order.first}, std::move(timer->second.callback)};
    erase(timer);
    return due;
}

}  // namespace hartdtm::loop
