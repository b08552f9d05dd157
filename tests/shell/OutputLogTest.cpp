#include "shell/OutputLog.h"
#include "support/FakeLoop.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::FakeLoop;

TEST(OutputLog, StartsWithStartApplicationAndPrefixesTheLocalTime) {
    FakeLoop clock;
    clock.SetUtc(2026, 12, 9, 14, 3, 27);
    OutputLog log(clock, nullptr);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0].text, "09-DEC-26@14:03:27>> Start Application");
}

TEST(OutputLog, PrefixFormatsEveryMonth) {
    const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                            "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 1; m <= 12; ++m) {
        LocalDateTime t{2007, m, 3, 4, 5, 6, 0, 0};
        EXPECT_EQ(OutputLog::Prefix(t), std::string("03-") + months[m - 1] + "-07@04:05:06>> ");
    }
}

TEST(OutputLog, The201stLineDropsTheFirstAndSameSecondLinesKeepTheirOrder) {
    FakeLoop clock;
    OutputLog log(clock, nullptr);
    for (int i = 2; i <= 201; ++i)
        log.AddLine("line " + std::to_string(i));
    ASSERT_EQ(log.Lines().size(), OutputLog::kMaxLines);
    const std::string prefix = OutputLog::Prefix(clock.LocalNow());
    EXPECT_EQ(log.Lines().front().text, prefix + "line 2");
    EXPECT_EQ(log.Lines()[1].text, prefix + "line 3");
    EXPECT_EQ(log.Lines().back().text, prefix + "line 201");
}

TEST(OutputLog, ExtentFollowsTheWidestKeptLine) {
    FakeLoop clock;
    // One pixel a character, so widths are easy to reason about.
    OutputLog log(clock, [](const std::string& text) { return static_cast<int>(text.size()); });
    const int prefix = static_cast<int>(OutputLog::Prefix(clock.LocalNow()).size());
    log.AddLine(std::string(500, 'x'));
    EXPECT_EQ(log.Extent(), prefix + 500 + 10);
    log.AddLine(std::string(40, 'y'));
    for (int i = 0; i < 197; ++i)
        log.AddLine("short");
    // Still holds the long line as second-oldest.
    EXPECT_EQ(log.Extent(), prefix + 500 + 10);
    log.AddLine("short"); // removes "Start Application"
    EXPECT_EQ(log.Extent(), prefix + 500 + 10);
    log.AddLine("short"); // removes the long line
    EXPECT_EQ(log.Extent(), prefix + 40 + 10);
}

TEST(OutputLog, ListenerSeesAppendRemoveAndExtent) {
    struct Recorder : OutputLog::Listener {
        int appended = 0, removed = 0, lastExtent = 0;
        void OnLineAppended(const std::string&) override { ++appended; }
        void OnOldestRemoved() override { ++removed; }
        void OnExtentChanged(int extent) override { lastExtent = extent; }
    } recorder;
    FakeLoop clock;
    OutputLog log(clock, [](const std::string& text) { return static_cast<int>(text.size()); });
    log.SetListener(&recorder);
    for (int i = 0; i < 205; ++i)
        log.AddLine(i == 0 ? std::string(100, 'w') : "n");
    EXPECT_EQ(recorder.appended, 205);
    EXPECT_EQ(recorder.removed, 6);
    EXPECT_EQ(recorder.lastExtent, log.Extent());
}

} // namespace
} // namespace orvane
