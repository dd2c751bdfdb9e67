// The seam a GUI event loop drives: it only reads nextDueTime(), calls
// dispatchDue() and restarts its own timer from scheduleChanged().

#include "platform/loop/driven_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace hartdtm::loop {
namespace {

using namespace std::chrono_literals;

// Stands in for a GUI loop: one single-shot timer, restarted on every change.
class SingleShotDriver final : public DrivenLoop {
public:
    Milliseconds now() const override { return clock; }
    void sleep(Milliseconds duration) override {
        const auto until = clock + duration;
        while (fireNext(until)) {
        }
        clock = until;
    }

    // Lets the clock run to the programmed timer (if due by `until`) and
    // dispatches, as the GUI timer's timeout would.
    bool fireNext(Milliseconds until) {
        if (!programmed || *programmed > until) return false;
        clock = std::max(clock, *programmed);
        dispatchDue();
        return true;
    }

    Milliseconds clock{0};
    std::optional<Milliseconds> programmed;
    int restarts = 0;

protected:
    void scheduleChanged() override {
        ++restarts;
        programmed = nextDueTime();
    }
};

TEST(DrivenLoopTest, NextDueTimeFollowsTimersAndPostedCalls) {
    SingleShotDriver loop;
    const int owner = 0;
    EXPECT_EQ(loop.nextDueTime(), std::nullopt);

    loop.arm(&owner, 1, 50ms, [] {});
    loop.arm(&owner, 2, 20ms, [] {});
    EXPECT_EQ(loop.programmed, 20ms);

    loop.clock = 5ms;
    loop.post(&owner, [] {});
    EXPECT_EQ(loop.programmed, 5ms);

    loop.cancelAll(&owner);
    EXPECT_EQ(loop.programmed, std::nullopt);
    EXPECT_TRUE(loop.idle());
}

TEST(DrivenLoopTest, ChangesThatChangeNothingDoNotRestartTheDriver) {
    SingleShotDriver loop;
    const int owner = 0;
    loop.arm(&owner, 1, 10ms, [] {});
    const int restarts = loop.restarts;
    EXPECT_FALSE(loop.arm(&owner, 1, 99ms, [] {}));
    EXPECT_FALSE(loop.kill(&owner, 2));
    loop.cancelAll(&loop);
    EXPECT_EQ(loop.restarts, restarts);
    EXPECT_EQ(loop.programmed, 10ms);
}

TEST(DrivenLoopTest, DriverRunsTimersAndSleepsThroughTheSeamOnly) {
    SingleShotDriver loop;
    const int owner = 0;
    std::vector<long long> fired;
    std::function<void()> poll = [&] {
        fired.push_back(loop.now().count());
        loop.arm(&owner, 2, 500ms, poll);
    };
    loop.arm(&owner, 2, 500ms, poll);
    loop.arm(&owner, 1, 10ms, [&] {
        fired.push_back(-loop.now().count());
        loop.sleep(600ms);  // nested: the poll timer keeps running
    });

    while (loop.fireNext(1200ms)) {
    }
    EXPECT_EQ(fired, (std::vector<long long>{-10, 500, 1000}));
    EXPECT_EQ(loop.programmed, 1500ms);
}

TEST(DrivenLoopTest, DispatchRunsPostedCallsBeforeDueTimers) {
    SingleShotDriver loop;
    const int owner = 0;
    std::vector<int> order;
    loop.arm(&owner, 1, 10ms, [&] { order.push_back(1); });
    loop.clock = 10ms;
    loop.post(&owner, [&] { order.push_back(2); });
    EXPECT_EQ(loop.dispatchDue(), 2u);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
}

}  // namespace
}  // namespace hartdtm::loop
