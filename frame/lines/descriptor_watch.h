#pragma once
// File descriptors the apartment loop watches between its dispatches: the
// real-time loop's idle wait polls them (poll(2)) instead of sleeping, and
// runs the handler of each ready descriptor on the apartment thread. Lines
// register their port or socket here, so reading and writing never block.

#include <poll.h>

#include <chrono>
#include <functional>
#include <map>

namespace frame {

class DescriptorWatch {
public:
    // Called with the poll(2) events that are ready (POLLIN, POLLOUT, POLLHUP, POLLERR).
    using Handler = std::function<void(short ready)>;

    // Watches `fd` for `events` (POLLIN, POLLOUT); replaces an earlier watch of it.
    void watch(int fd, short events, Handler handler);
    // Changes the events of a watched descriptor.
    void setEvents(int fd, short events);
    // Stops watching; a handler may remove its own or another watch.
    void remove(int fd);
    bool empty() const { return watches_.empty(); }
    // The watched descriptors with their events, and a listener told of every
    // change, for a loop that waits on them itself (the studio's Qt loop,
    // which then runs the handlers through wait() with no timeout).
    std::map<int, short> watched() const;
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

    // Housekeeping that must not keep the loop busy (a HART-IP keep-alive):
    // runs from a wait once `delay` has passed, but does not count as work
    // that the loop waits for. One such timer per owner; setting replaces it.
    void setHousekeeping(const void* owner, std::chrono::milliseconds delay, std::function<void()> call);
    void cancelHousekeeping(const void* owner);

    // Waits up to `timeout` for a watched descriptor and runs the handlers
    // of the ready ones; sleeps the whole time when nothing is watched.
    void wait(std::chrono::milliseconds timeout);

private:
    struct Watch {
        short events;
        Handler handler;
    };
    struct Housekeeping {
        std::chrono::steady_clock::time_point due;
        std::function<void()> call;
    };
    void runHousekeeping();

    void notifyChange() {
        if (changed_) changed_();
    }

    std::map<int, Watch> watches_;
    std::function<void()> changed_;
    std::map<const void*, Housekeeping> housekeeping_;
};

}  // namespace frame
