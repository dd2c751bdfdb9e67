#include "frame/lines/descriptor_watch.h"

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

namespace frame {

void DescriptorWatch::watch(int fd, short events, Handler handler) {
    watches_[fd] = Watch{events, std::move(handler)};
    notifyChange();
}

void DescriptorWatch::setEvents(int fd, short events) {
    if (auto found = watches_.find(fd); found != watches_.end()) found->second.events = events;
    notifyChange();
}

void DescriptorWatch::remove(int fd) {
    watches_.erase(fd);
    notifyChange();
}

std::map<int, short> DescriptorWatch::watched() const {
    std::map<int, short> result;
    for (const auto& [fd, watch] : watches_) result[fd] = watch.events;
    return result;
}

void DescriptorWatch::setHousekeeping(const void* owner, std::chrono::milliseconds delay,
                                      std::function<void()> call) {
    housekeeping_[owner] = Housekeeping{std::chrono::steady_clock::now() + delay, std::move(call)};
}

void DescriptorWatch::cancelHousekeeping(const void* owner) {
    housekeeping_.erase(owner);
}

void DescriptorWatch::runHousekeeping() {
    const auto now = std::chrono::steady_clock::now();
    std::vector<const void*> due;
    for (const auto& [owner, entry] : housekeeping_) {
        if (entry.due <= now) due.push_back(owner);
    }
    for (const void* owner : due) {
        const auto found = housekeeping_.find(owner);
        if (found == housekeeping_.end()) continue;
        const std::function<void()> call = std::move(found->second.call);
        housekeeping_.erase(found);
        call();
    }
}

void DescriptorWatch::wait(std::chrono::milliseconds timeout) {
    const auto now = std::chrono::steady_clock::now();
    for (const auto& [owner, entry] : housekeeping_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(entry.due - now);
        timeout = std::max(std::chrono::milliseconds{0}, std::min(timeout, left));
    }
    if (watches_.empty()) {
        std::this_thread::sleep_for(timeout);
        runHousekeeping();
        return;
    }
    std::vector<pollfd> fds;
    fds.reserve(watches_.size());
    for (const auto& [fd, watch] : watches_) fds.push_back({fd, watch.events, 0});
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
    runHousekeeping();
    if (ready <= 0) return;
    for (const pollfd& entry : fds) {
        if (entry.revents == 0) continue;
        // A handler run before may have removed this watch.
        const auto found = watches_.find(entry.fd);
        if (found == watches_.end()) continue;
        const Handler handler = found->second.handler;
        handler(entry.revents);
    }
}

}  // namespace frame
