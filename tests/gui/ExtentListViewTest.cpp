#include "shell/ui/ExtentListView.h"

#include "shell/ProgressList.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ReportList, ShowsTheNewest80LinesWithTheirExtentAndTheLastOnesInView) {
    ProgressList report;
    ExtentListView view;
    view.UseReportFont();
    view.resize(300, 160);
    view.show();
    for (int i = 1; i <= 85; ++i) {
        report.AddLine(i == 3 ? std::string(90, '#') : "Block " + std::to_string(i));
        view.ShowReport(report);
    }
    ASSERT_EQ(view.LineCount(), 80);
    EXPECT_EQ(view.LineText(0), "Block 6");
    EXPECT_EQ(view.LineText(79), "Block 85");
    EXPECT_EQ(view.Extent(), report.Extent());
    EXPECT_EQ(report.Extent(), 8 * 8 + 8) << "the long third line has gone";
    QCoreApplication::processEvents();
    const QRect last = view.visualRect(view.model()->index(79, 0));
    EXPECT_TRUE(view.viewport()->rect().contains(last)) << "the newest line shows";
    EXPECT_LE(QFontMetrics(view.font()).horizontalAdvance(QString(90, QLatin1Char('#'))), 8 * 90 + 8)
        << "the report font fits the extent's 8 pixels per character";
}

} // namespace
} // namespace orvane
