#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/loop/event_loop.h"
#include "platform/loop/virtual_clock_loop.h"

namespace hartdtm::loop {
namespace {

using namespace std::chrono_literals;

TEST(CurrentLoopTest, ScopeSetsAndRestoresTheCurrentLoop) {
    ASSERT_EQ(currentLoop(), nullptr);
    VirtualClockLoop outer;
    VirtualClockLoop inner;
    {
        CurrentLoopScope outerScope(outer);
        EXPECT_EQ(currentLoop(), &outer);
        {
            CurrentLoopScope innerScope(inner);
            EXPECT_EQ(currentLoop(), &inner);
        }
        EXPECT_EQ(currentLoop(), &outer);
    }
    EXPECT_EQ(currentLoop(), nullptr);
}

TEST(CurrentLoopTest, DestroyedLoopIsNoLongerCurrent) {
    auto loop = std::make_unique<VirtualClockLoop>();
    setCurrentLoop(loop.get());
    loop.reset();
    EXPECT_EQ(currentLoop(), nullptr);
}

struct ModuleCloser {
    void operator()(void* handle) const { dlclose(handle); }
};

TEST(CurrentLoopTest, ModuleWithItsOwnCopyOfTheLibrarySeesTheHostLoop) {
    std::unique_ptr<void, ModuleCloser> module(dlopen(LOOP_PROBE_MODULE, RTLD_NOW | RTLD_LOCAL));
    ASSERT_TRUE(module) << dlerror();
    auto* probeCurrentLoop =
        reinterpret_cast<EventLoop* (*)()>(dlsym(module.get(), "probeCurrentLoop"));
    auto* probeArm =
        reinterpret_cast<bool (*)(unsigned, long, int*)>(dlsym(module.get(), "probeArm"));
    ASSERT_TRUE(probeCurrentLoop && probeArm);

    EXPECT_EQ(probeCurrentLoop(), nullptr);
    VirtualClockLoop loop;
    CurrentLoopScope scope(loop);
    EXPECT_EQ(probeCurrentLoop(), &loop);

    int fired = 0;
    ASSERT_TRUE(probeArm(1042, 10, &fired));
    EXPECT_TRUE(loop.isArmed(&fired, 1042));
    loop.advance(10ms);
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace hartdtm::loop
