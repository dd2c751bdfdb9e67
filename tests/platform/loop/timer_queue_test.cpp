#include "platform/loop/timer_queue.h"

#include <gtest/gtest.h>

namespace hartdtm::loop {
namespace {

using namespace std::chrono_literals;

TEST(TimerQueueTest, CancelAllCountsWhatItDroppedAndKeepsOtherOwners) {
    TimerQueue queue;
    const int owners[3] = {};
    for (const int& owner : owners) {
        queue.arm(&owner, 0, 10ms, [] {});
        queue.arm(&owner, 0xFFFFFFFFu, 10ms, [] {});
        queue.post(&owner, [] {});
    }
    EXPECT_EQ(queue.cancelAll(&owners[1]), 3u);
    EXPECT_EQ(queue.cancelAll(&owners[1]), 0u);
    EXPECT_TRUE(queue.isArmed(&owners[0], 0xFFFFFFFFu));
    EXPECT_TRUE(queue.isArmed(&owners[2], 0));
    EXPECT_EQ(queue.timerCount(), 4u);
}

}  // namespace
}  // namespace hartdtm::loop
