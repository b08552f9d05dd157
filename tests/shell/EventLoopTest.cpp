#include "shell/EventLoop.h"
#include "shell/SystemClock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace orvane {
namespace {

TEST(EventLoop, RunsPostsFromOtherThreadsInOrderAndTimersWhenDue) {
    EventLoop loop(SystemClock::Instance());
    std::vector<int> order;
    loop.PostAfter(30, [&] { order.push_back(3); });
    const TimerId cancelled = loop.PostAfter(10, [&] { order.push_back(99); });
    loop.Cancel(cancelled);
    std::thread other([&] {
        loop.Post([&] { order.push_back(1); });
        loop.Post([&] { order.push_back(2); });
    });
    other.join();
    EXPECT_TRUE(loop.RunUntil([&] { return order.size() == 3; }, 2000));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(EventLoop, RunUntilGivesUpAfterItsTimeout) {
    EventLoop loop(SystemClock::Instance());
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 20));
}

} // namespace
} // namespace orvane
