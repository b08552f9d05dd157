#include "shell/ui/QtPoster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <thread>

namespace orvane {
namespace {

void SpinUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(QtPoster, PostsFromAnotherThreadRunInOrderAndTimersCanBeCancelled) {
    QtPoster poster;
    std::vector<int> order;
    const TimerId cancelled = poster.PostAfter(5, [&] { order.push_back(99); });
    poster.PostAfter(20, [&] { order.push_back(3); });
    poster.Cancel(cancelled);
    std::thread([&] {
        poster.Post([&] { order.push_back(1); });
        poster.Post([&] { order.push_back(2); });
    }).join();
    SpinUntil([&] { return order.size() >= 3; });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

} // namespace
} // namespace orvane
