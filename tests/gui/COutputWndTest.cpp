#include "shell/ui/COutputWnd.h"

#include "gui/GuiTestSupport.h"
#include "shell/ui/ExtentListView.h"
#include "support/FakeLoop.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace orvane {
namespace {

class EventsPane : public ::testing::Test {
protected:
    EventsPane() {
        pane.resize(420, 180);
        pane.show();
    }
    ExtentListView& List() { return pane.List(); }
    // The width the list lays its contents out in, as its horizontal scroll range shows it.
    int ContentsWidth() {
        QCoreApplication::processEvents();
        return List().horizontalScrollBar()->maximum() + List().viewport()->width();
    }
    bool NewestVisible() {
        QCoreApplication::processEvents();
        const QRect last = List().visualRect(List().model()->index(List().LineCount() - 1, 0));
        return List().viewport()->rect().contains(last.topLeft()) &&
               List().viewport()->rect().bottom() >= last.bottom();
    }

    test::FakeLoop loop;
    OutputLog log{loop, COutputWnd::ListTextWidth()};
    COutputWnd pane{log};
};

TEST_F(EventsPane, ShowsTheLogAndThe201stLineDropsTheFirst) {
    ASSERT_EQ(List().LineCount(), 1);
    EXPECT_EQ(List().LineText(0), "09-DEC-26@14:03:27>> Start Application");
    for (int i = 2; i <= 200; ++i)
        log.AddLine("line " + std::to_string(i));
    ASSERT_EQ(List().LineCount(), 200);
    EXPECT_TRUE(NewestVisible());

    log.AddLine("line 201");
    ASSERT_EQ(List().LineCount(), 200);
    EXPECT_EQ(List().LineText(0), "09-DEC-26@14:03:27>> line 2");
    EXPECT_EQ(List().LineText(199), "09-DEC-26@14:03:27>> line 201");
    EXPECT_TRUE(NewestVisible());
    test::Snapshot(pane, "events");
}

TEST_F(EventsPane, TheScrollRangeFollowsTheWidestKeptLine) {
    const std::string wide(300, 'W');
    log.AddLine(wide);
    EXPECT_EQ(List().Extent(), log.Extent());
    EXPECT_EQ(log.Extent(),
              List().fontMetrics().horizontalAdvance(QString::fromStdString(log.Lines().back().text)) + 10)
        << "lines are measured with the list's own font";
    EXPECT_EQ(ContentsWidth(), log.Extent());

    // When the wide line leaves as the oldest, the range shrinks to the widest remaining line.
    for (int i = 0; i < 200; ++i)
        log.AddLine("short " + std::to_string(i));
    EXPECT_EQ(List().Extent(), log.Extent());
    EXPECT_LT(log.Extent(), 400);
    EXPECT_EQ(List().horizontalScrollBar()->maximum(), 0) << "everything fits into the pane";
    EXPECT_TRUE(NewestVisible());
}

TEST(EventsPaneBinding, APaneMadeLaterShowsTheLinesSoFarAndLetsGoOfTheLog) {
    test::FakeLoop loop;
    OutputLog log(loop, COutputWnd::ListTextWidth());
    log.AddLine("Connected to: SIM0");
    {
        COutputWnd pane(log);
        ASSERT_EQ(pane.List().LineCount(), 2);
        EXPECT_EQ(pane.List().LineText(1), "09-DEC-26@14:03:27>> Connected to: SIM0");
        EXPECT_EQ(pane.List().Extent(), log.Extent());
    }
    log.AddLine("after the pane"); // must not reach the destroyed pane
    EXPECT_EQ(log.Lines().size(), 3u);
}

} // namespace
} // namespace orvane
