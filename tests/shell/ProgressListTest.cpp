#include "shell/ProgressList.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ProgressList, KeepsTheNewest80LinesWithTheLast10InViewAndTheLongestLinesExtent) {
    struct Counter : ProgressList::Listener {
        void OnLineAdded(const std::string&) override { ++added; }
        void OnOldestRemoved() override { ++removed; }
        int added = 0, removed = 0;
    } counter;
    ProgressList list;
    list.SetListener(&counter);
    EXPECT_EQ(list.TopLine(), 0u);
    list.AddLine(std::string(40, 'x')); // the longest line, dropped first
    for (int i = 1; i <= 84; ++i)
        list.AddLine("line " + std::to_string(i));
    ASSERT_EQ(list.Lines().size(), 80u);
    EXPECT_EQ(list.Lines().front(), "line 5");
    EXPECT_EQ(list.Lines().back(), "line 84");
    EXPECT_EQ(list.TopLine(), 70u);
    EXPECT_EQ(list.Extent(), 8 * 7 + 8);
    EXPECT_EQ(counter.added, 85);
    EXPECT_EQ(counter.removed, 5);
}

} // namespace
} // namespace orvane
