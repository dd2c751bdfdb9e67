#include "platform/loop/virtual_clock_loop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/loop/timer_host.h"

namespace hartdtm::loop {
namespace {

using namespace std::chrono_literals;

struct Fired {
    std::string name;
    long long at;
    bool operator==(const Fired&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fired& fired) {
    return out << fired.name << "@" << fired.at;
}

class VirtualClockLoopTest : public ::testing::Test {
protected:
    Callback record(std::string name) {
        return [this, name = std::move(name)] { fired.push_back({name, loop.now().count()}); };
    }

    VirtualClockLoop loop;
    std::vector<Fired> fired;
    const int ownerA = 0;
    const int ownerB = 0;
};

TEST_F(VirtualClockLoopTest, TimersFireAtTheirDueTimeInTimeOrderTiesInArmingOrder) {
    struct Arming {
        const void* owner;
        TimerId id;
        Milliseconds delay;
        const char* name;
    };
    const std::vector<Arming> armings = {
        {&ownerA, 1042, 100ms, "a1042"}, {&ownerA, 1, 10ms, "a1"}, {&ownerB, 1042, 10ms, "b1042"},
        {&ownerB, 0, 500ms, "b0"},       {&ownerA, 2, 50ms, "a2"}, {&ownerB, 7, 10ms, "b7"},
    };
    for (const auto& arming : armings)
        ASSERT_TRUE(loop.arm(arming.owner, arming.id, arming.delay, record(arming.name)));

    loop.advance(499ms);
    const std::vector<Fired> expected = {
        {"a1", 10}, {"b1042", 10}, {"b7", 10}, {"a2", 50}, {"a1042", 100}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(loop.now(), 499ms);
    EXPECT_TRUE(loop.isArmed(&ownerB, 0));

    loop.advance(1ms);
    EXPECT_EQ(fired.back(), (Fired{"b0", 500}));
    EXPECT_TRUE(loop.idle());
}

TEST_F(VirtualClockLoopTest, TimersArmedLaterButDueAtTheSameTimeFollowArmingOrder) {
    loop.arm(&ownerA, 1, 10ms, record("first"));
    loop.advance(5ms);
    loop.arm(&ownerA, 2, 5ms, record("second"));
    loop.advance(5ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"first", 10}, {"second", 10}}));
}

TEST_F(VirtualClockLoopTest, ArmLeavesAPendingTimerAsItIs) {
    ASSERT_TRUE(loop.arm(&ownerA, 1042, 10ms, record("connect")));
    loop.advance(5ms);
    EXPECT_FALSE(loop.arm(&ownerA, 1042, 100ms, record("replacement")));

    loop.advance(5ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"connect", 10}}));
    loop.advance(200ms);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(VirtualClockLoopTest, RearmReplacesThePendingTimerAndCountsFromNow) {
    loop.arm(&ownerA, 2, 500ms, record("old"));
    loop.advance(300ms);
    ASSERT_TRUE(loop.rearm(&ownerA, 2, 500ms, record("new")));

    loop.advance(499ms);
    EXPECT_TRUE(fired.empty());
    loop.advance(1ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"new", 800}}));
}

TEST_F(VirtualClockLoopTest, SameTimerIdOfDifferentOwnersAreIndependent) {
    loop.arm(&ownerA, 1042, 10ms, record("a"));
    EXPECT_TRUE(loop.arm(&ownerB, 1042, 20ms, record("b")));
    EXPECT_TRUE(loop.kill(&ownerA, 1042));
    loop.advance(20ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"b", 20}}));
}

TEST_F(VirtualClockLoopTest, KilledTimerNeverFiresAndKillReportsWhetherOneWasPending) {
    loop.arm(&ownerA, 1, 10ms, record("killed"));
    EXPECT_TRUE(loop.kill(&ownerA, 1));
    EXPECT_FALSE(loop.kill(&ownerA, 1));
    EXPECT_FALSE(loop.isArmed(&ownerA, 1));
    loop.advance(100ms);
    EXPECT_TRUE(fired.empty());
    // The key is free again after a kill.
    EXPECT_TRUE(loop.arm(&ownerA, 1, 10ms, record("again")));
}

TEST_F(VirtualClockLoopTest, CallbackCanKillATimerDueAtTheSameTime) {
    loop.arm(&ownerA, 1, 10ms, [this] {
        fired.push_back({"killer", loop.now().count()});
        loop.kill(&ownerA, 2);
    });
    loop.arm(&ownerA, 2, 10ms, record("victim"));
    loop.advance(10ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"killer", 10}}));
}

TEST_F(VirtualClockLoopTest, FiringDisarmsBeforeTheCallbackSoItCanArmItselfAgain) {
    // The view's online poll: every firing arms the same timer for 500 ms.
    std::function<void()> poll = [&] {
        fired.push_back({"poll", loop.now().count()});
        EXPECT_FALSE(loop.isArmed(&ownerA, 2));
        EXPECT_TRUE(loop.arm(&ownerA, 2, 500ms, poll));
    };
    loop.arm(&ownerA, 2, 500ms, poll);
    loop.advance(1600ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"poll", 500}, {"poll", 1000}, {"poll", 1500}}));
    EXPECT_TRUE(loop.isArmed(&ownerA, 2));
}

TEST_F(VirtualClockLoopTest, TimerArmedInsideATimerCallbackFiresWithinTheSameAdvance) {
    loop.arm(&ownerA, 2, 500ms, [&] {
        fired.push_back({"online", loop.now().count()});
        loop.arm(&ownerA, 1, 50ms, record("cycle"));
    });
    loop.advance(600ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"online", 500}, {"cycle", 550}}));
}

TEST_F(VirtualClockLoopTest, ArmingForTheCurrentTimeFromACallbackStillLetsTimeMove) {
    int count = 0;
    std::function<void()> spin = [&] {
        ++count;
        loop.arm(&ownerA, 1, 0ms, spin);
    };
    loop.arm(&ownerA, 1, 0ms, spin);
    loop.advance(10ms);
    EXPECT_EQ(count, 10);
    EXPECT_EQ(loop.now(), 10ms);
}

TEST_F(VirtualClockLoopTest, EmptyCallbacksAreRefused) {
    EXPECT_FALSE(loop.arm(&ownerA, 1, 10ms, {}));
    EXPECT_FALSE(loop.rearm(&ownerA, 1, 10ms, {}));
    EXPECT_FALSE(loop.post(&ownerA, {}));
    EXPECT_FALSE(loop.isArmed(&ownerA, 1));
    EXPECT_TRUE(loop.idle());
}

TEST_F(VirtualClockLoopTest, PostedCallsRunInOrderOnTheNextDispatchNotBefore) {
    loop.post(&ownerA, record("one"));
    loop.post(&ownerB, record("two"));
    loop.post(nullptr, record("three"));
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(loop.nextDueTime(), loop.now());

    EXPECT_EQ(loop.runUntilIdle(), 3u);
    EXPECT_EQ(fired, (std::vector<Fired>{{"one", 0}, {"two", 0}, {"three", 0}}));
}

TEST_F(VirtualClockLoopTest, CallPostedDuringADispatchWaitsForTheNextOne) {
    loop.post(&ownerA, [&] {
        fired.push_back({"outer", 0});
        loop.post(&ownerA, record("inner"));
    });
    loop.post(&ownerA, record("sibling"));
    EXPECT_EQ(loop.dispatchDue(), 2u);
    EXPECT_EQ(fired, (std::vector<Fired>{{"outer", 0}, {"sibling", 0}}));
    EXPECT_EQ(loop.dispatchDue(), 1u);
    EXPECT_EQ(fired.back(), (Fired{"inner", 0}));
}

TEST_F(VirtualClockLoopTest, CallsPostedByATimerRunAtThatTimerTimeBeforeLaterTimers) {
    loop.arm(&ownerA, 1, 10ms, [&] {
        fired.push_back({"timer", loop.now().count()});
        loop.post(&ownerA, record("posted"));
    });
    loop.arm(&ownerA, 2, 11ms, record("later"));
    loop.advance(20ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"timer", 10}, {"posted", 10}, {"later", 11}}));
}

TEST_F(VirtualClockLoopTest, CancelAllDropsTimersAndPostedCallsOfOneOwnerOnly) {
    loop.arm(&ownerA, 1, 10ms, record("a1"));
    loop.arm(&ownerA, 2, 10ms, record("a2"));
    loop.post(&ownerA, record("aPost"));
    loop.arm(&ownerB, 1, 10ms, record("b1"));
    loop.post(&ownerB, record("bPost"));

    loop.cancelAll(&ownerA);
    EXPECT_FALSE(loop.isArmed(&ownerA, 1));
    loop.advance(10ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"bPost", 0}, {"b1", 10}}));
}

TEST_F(VirtualClockLoopTest, SleepAdvancesVirtualTimeAndRunsWhatFallsDueMeanwhile) {
    loop.arm(&ownerA, 1, 300ms, record("poll"));
    loop.post(&ownerA, record("answer"));
    loop.sleep(500ms);
    EXPECT_EQ(loop.now(), 500ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"answer", 0}, {"poll", 300}}));
}

TEST_F(VirtualClockLoopTest, SleepInsideATimerCallbackRunsLaterTimersAndTimeNeverRunsBack) {
    // A workflow step that waits 500 ms between two polls of the device.
    loop.arm(&ownerA, 1, 10ms, [&] {
        fired.push_back({"stepStart", loop.now().count()});
        loop.sleep(500ms);
        fired.push_back({"stepEnd", loop.now().count()});
    });
    loop.arm(&ownerA, 2, 100ms, record("reply"));
    loop.arm(&ownerA, 3, 700ms, record("afterwards"));

    loop.advance(200ms);
    EXPECT_EQ(fired, (std::vector<Fired>{{"stepStart", 10}, {"reply", 100}, {"stepEnd", 510}}));
    EXPECT_EQ(loop.now(), 510ms);

    loop.advance(190ms);
    EXPECT_EQ(fired.back(), (Fired{"afterwards", 700}));
}

TEST_F(VirtualClockLoopTest, RunUntilStopsAtTheFirstTimeTheConditionHolds) {
    bool connected = false;
    loop.arm(&ownerA, 1042, 10ms, [&] { connected = true; });
    loop.arm(&ownerA, 1, 50ms, record("notReached"));

    EXPECT_TRUE(loop.runUntil([&] { return connected; }, 1000ms));
    EXPECT_EQ(loop.now(), 10ms);
    EXPECT_TRUE(loop.isArmed(&ownerA, 1));

    EXPECT_FALSE(loop.runUntil([] { return false; }, 30ms));
    EXPECT_EQ(loop.now(), 40ms);
    EXPECT_TRUE(fired.empty());
}

TEST_F(VirtualClockLoopTest, ExceptionFromACallbackLeavesTheRestQueued) {
    loop.arm(&ownerA, 1, 10ms, [] { throw std::runtime_error("callback failed"); });
    loop.arm(&ownerA, 2, 10ms, record("survivor"));
    EXPECT_THROW(loop.advance(10ms), std::runtime_error);
    EXPECT_FALSE(loop.isArmed(&ownerA, 1));
    EXPECT_TRUE(loop.isArmed(&ownerA, 2));
    loop.runUntilIdle();
    EXPECT_EQ(fired, (std::vector<Fired>{{"survivor", 10}}));
}

TEST_F(VirtualClockLoopTest, NegativeAdvanceDoesNotMoveTheClock) {
    loop.advance(20ms);
    loop.advance(-5ms);
    loop.advanceTo(10ms);
    EXPECT_EQ(loop.now(), 20ms);
}

TEST_F(VirtualClockLoopTest, DestroyedLoopDropsPendingCallbacksUncalled) {
    auto counter = std::make_shared<int>(0);
    {
        VirtualClockLoop local;
        local.arm(&ownerA, 1, 10ms, [counter] { ++*counter; });
        local.post(&ownerA, [counter] { ++*counter; });
        EXPECT_EQ(counter.use_count(), 3);
    }
    EXPECT_EQ(counter.use_count(), 1);
    EXPECT_EQ(*counter, 0);
}

TEST(TimerHostTest, DestroyingTheHostCancelsItsTimersAndPostedCalls) {
    VirtualClockLoop loop;
    int fired = 0;
    {
        TimerHost host(&loop);
        EXPECT_TRUE(host.arm(1042, 10ms, [&] { ++fired; }));
        EXPECT_FALSE(host.arm(1042, 10ms, [&] { fired += 100; }));
        EXPECT_TRUE(host.post([&] { ++fired; }));
        EXPECT_FALSE(loop.idle());
    }
    EXPECT_TRUE(loop.idle());
    loop.advance(100ms);
    EXPECT_EQ(fired, 0);
}

TEST(TimerHostTest, CallbackMayDestroyItsOwnHost) {
    // A view whose close timer tears the view down, timers and all.
    VirtualClockLoop loop;
    auto host = std::make_unique<TimerHost>(&loop);
    int fired = 0;
    host->arm(0, 100ms, [&] {
        ++fired;
        host.reset();
    });
    host->arm(1, 100ms, [&] { fired += 100; });
    host->post([&] { ++fired; });
    loop.advance(200ms);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(host, nullptr);
    EXPECT_TRUE(loop.idle());
}

TEST(TimerHostTest, HostWithoutLoopFailsEveryOperation) {
    ASSERT_EQ(currentLoop(), nullptr);
    TimerHost host;
    EXPECT_FALSE(host.attached());
    EXPECT_FALSE(host.arm(1, 10ms, [] {}));
    EXPECT_FALSE(host.rearm(1, 10ms, [] {}));
    EXPECT_FALSE(host.post([] {}));
    EXPECT_FALSE(host.isArmed(1));
    EXPECT_FALSE(host.kill(1));
}

TEST(TimerHostTest, DefaultHostBindsToTheCurrentLoop) {
    VirtualClockLoop loop;
    CurrentLoopScope scope(loop);
    TimerHost host;
    EXPECT_EQ(host.loop(), &loop);
    int fired = 0;
    host.rearm(2, 500ms, [&] { ++fired; });
    loop.advance(500ms);
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace hartdtm::loop
