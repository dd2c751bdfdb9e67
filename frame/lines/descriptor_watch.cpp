#include "frame/lines/descriptor_watch.h"

#include <cerrno>
#include <thread>
#include <vector>

namespace frame {

void DescriptorWatch::watch(int fd, short events, Handler handler) {
    watches_[fd] = Watch{events, std::move(handler)};
}

void DescriptorWatch::setEvents(int fd, short events) {
    if (auto found = watches_.find(fd); found != watches_.end()) found->second.events = events;
}

void DescriptorWatch::remove(int fd) {
    watches_.erase(fd);
}

void DescriptorWatch::wait(std::chrono::milliseconds timeout) {
    if (watches_.empty()) {
        std::this_thread::sleep_for(timeout);
        return;
    }
    std::vector<pollfd> fds;
    fds.reserve(watches_.size());
    for (const auto& [fd, watch] : watches_) fds.push_back({fd, watch.events, 0});
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
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
