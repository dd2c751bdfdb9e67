// The real-time backend is checked for what it does, never for how long it
// takes: the deadlines below are only upper bounds that keep a broken loop
// from hanging the suite.

#include "platform/loop/real_time_loop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace hartdtm::loop {
namespace {

using namespace std::chrono_literals;

TEST(RealTimeLoopTest, RunUntilReturnsOnceATimerHasMadeTheConditionTrue) {
    RealTimeLoop loop;
    const int owner = 0;
    bool connected = false;
    loop.arm(&owner, 1042, 1ms, [&] { connected = true; });
    EXPECT_TRUE(loop.runUntil([&] { return connected; }, 10s));
    EXPECT_FALSE(loop.isArmed(&owner, 1042));
}

TEST(RealTimeLoopTest, RunUntilGivesUpAtTheDeadline) {
    RealTimeLoop loop;
    const int owner = 0;
    bool fired = false;
    loop.arm(&owner, 1, 1h, [&] { fired = true; });
    EXPECT_FALSE(loop.runUntil([] { return false; }, 2ms));
    EXPECT_FALSE(fired);
    EXPECT_TRUE(loop.isArmed(&owner, 1));
}

TEST(RealTimeLoopTest, SleepRunsPostedCallsAndTimersInOrder) {
    RealTimeLoop loop;
    const int owner = 0;
    std::vector<int> order;
    loop.arm(&owner, 1, 1ms, [&] { order.push_back(2); });
    loop.post(&owner, [&] { order.push_back(1); });
    // Until the timer has run; the sleep is only its upper bound.
    EXPECT_TRUE(loop.runUntil([&] { return order.size() == 2; }, 10s));
    loop.post(&owner, [&] { order.push_back(3); });
    loop.sleep(1ms);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(RealTimeLoopTest, WaitsThroughTheInstalledIdleWait) {
    RealTimeLoop loop;
    const int owner = 0;
    int waits = 0;
    bool fired = false;
    loop.setIdleWait([&](Milliseconds longest) {
        EXPECT_GT(longest, 0ms);
        ++waits;
        std::this_thread::sleep_for(longest);
    });
    // Long enough that even a loaded machine reaches the wait before the
    // timer is due.
    loop.arm(&owner, 1, 100ms, [&] { fired = true; });
    EXPECT_TRUE(loop.runUntil([&] { return fired; }, 10s));
    EXPECT_GE(waits, 1);

    loop.setIdleWait({});
    fired = false;
    loop.arm(&owner, 1, 1ms, [&] { fired = true; });
    const int before = waits;
    EXPECT_TRUE(loop.runUntil([&] { return fired; }, 10s));
    EXPECT_EQ(waits, before);
}

TEST(RealTimeLoopTest, ClockNeverRunsBack) {
    RealTimeLoop loop;
    const auto first = loop.now();
    loop.sleep(1ms);
    EXPECT_GE(loop.now(), first + 1ms);
}

}  // namespace
}  // namespace hartdtm::loop
