#include "analysis/SpectrumPlot.h"
#include "analysis/ColourDialogModel.h"
#include "spectrum/CSpectrum.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace orvane {
namespace {

// A shown record of the given sizes and its plot on a client rectangle; 542 pixels wide gives a plot
// 512 pixels wide, so a 512-channel view puts each channel on its own pixel column.
struct PlotFixture {
    explicit PlotFixture(int soft = CSpectrum::kChannels, int clientWidth = 542, int clientHeight = 445)
        : record(std::make_unique<CSpectrum>(true)), plot(std::make_unique<SpectrumPlot>(*record)) {
        record->SetShown(true);
        record->SetSizes(soft, soft);
        plot->SetClientRect(0, 0, clientWidth, clientHeight);
    }
    int X(int channel) const {
        return plot->Geometry().ChannelX(channel, record->FirstChannel(), record->ViewWidth());
    }
    void SetCount(int channel, std::uint32_t count) {
        record->HardCounts()[static_cast<std::size_t>(channel)] = count;
        record->Fold();
    }
    std::vector<int> Marked(int from, int to) const {
        std::vector<int> marked;
        for (int c = from; c <= to; ++c)
            if (record->SoftMarks()[static_cast<std::size_t>(c)])
                marked.push_back(c);
        return marked;
    }
    static std::vector<int> Range(int from, int to) {
        std::vector<int> r;
        for (int c = from; c <= to; ++c)
            r.push_back(c);
        return r;
    }
    void MarkExisting(int from, int to) {
        for (int c = from; c <= to; ++c)
            record->SetSoftMark(c, true);
    }

    std::unique_ptr<CSpectrum> record;
    std::unique_ptr<SpectrumPlot> plot;
};

void Expect(const CSpectrum& r, int first, int last, int cursor) {
    EXPECT_EQ(r.FirstChannel(), first);
    EXPECT_EQ(r.LastChannel(), last);
    EXPECT_EQ(r.ViewWidth(), last - first + 1);
    EXPECT_EQ(r.Cursor(), cursor);
}

TEST(SpectrumPlotView, ZoomStopsAtThirtyTwoChannelsAndAtTheSoftSize) {
    for (const int soft : {16384, 4096, 512}) {
        PlotFixture f(soft);
        for (int i = 0; i < 20; ++i)
            f.plot->Run(PlotCommand::ExpandAroundCursor);
        EXPECT_EQ(f.record->ViewWidth(), 32) << soft;
        for (int i = 0; i < 20; ++i)
            f.plot->Run(PlotCommand::ExpandFromLeft);
        EXPECT_EQ(f.record->ViewWidth(), 32) << soft;
        for (int i = 0; i < 20; ++i)
            f.plot->Run(PlotCommand::CompressFromLeft);
        Expect(*f.record, 0, soft - 1, f.record->Cursor());
        f.plot->Run(PlotCommand::CompressAroundCursor);
        EXPECT_EQ(f.record->ViewWidth(), soft) << soft;
    }
}

TEST(SpectrumPlotView, ZoomingAroundACursorNearEitherEndKeepsTheViewInsideTheSpectrum) {
    PlotFixture f;
    f.record->SetCursor(10);
    f.plot->SetView(1024, true);
    Expect(*f.record, 0, 1023, 10);
    f.plot->Run(PlotCommand::ExpandAroundCursor);
    Expect(*f.record, 0, 511, 10); // first not negative

    PlotFixture end(4096);
    end.record->SetCursor(4090);
    end.plot->SetView(256, true);
    Expect(*end.record, 3840, 4095, 3967); // the cursor moves to the middle of the last view
}

TEST(SpectrumPlotView, FromLeftKeepsTheFirstChannelAndFullSpectrumShowsEverything) {
    PlotFixture f;
    f.record->SetCursor(5000);
    f.plot->SetView(2048, true);
    Expect(*f.record, 3976, 6023, 5000);
    f.plot->Run(PlotCommand::ExpandFromLeft);
    Expect(*f.record, 3976, 4999, 4999); // the cursor is pulled into the view
    f.plot->Run(PlotCommand::CompressFromLeft);
    Expect(*f.record, 3976, 6023, 4999);
    f.plot->Run(PlotCommand::FullSpectrum);
    Expect(*f.record, 0, 16383, 4999);
}

TEST(SpectrumPlotScale, LinearIndexZeroClipsAndAutomaticScalingRaisesTheIndexUntilTheColumnFits) {
    PlotFixture f(512);
    ASSERT_EQ(f.plot->Geometry().plotHeight, 400);
    f.SetCount(200, 1000);
    f.plot->Scale().SetIndex(0);

    EXPECT_FALSE(f.plot->Reduce()); // automatic scaling off: stays clipped
    EXPECT_EQ(f.plot->Columns()[200].top, f.plot->Geometry().plotTop);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 0);

    f.plot->Run(PlotCommand::AutoVertical);
    ASSERT_TRUE(f.plot->Checked(PlotCommand::AutoVertical));
    EXPECT_TRUE(f.plot->Reduce());
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 10);
    EXPECT_FALSE(f.plot->Reduce()); // fits now: 1000·400 >> 10 = 390 pixels
    EXPECT_EQ(f.plot->Columns()[200].top, f.plot->Geometry().plotBottom - 390);
    EXPECT_GT(f.plot->Columns()[200].top, f.plot->Geometry().plotTop);
}

TEST(SpectrumPlotScale, AutomaticScalingLowersTheIndexForSmallColumnsAndLeavesTallOnesAlone) {
    struct Case {
        std::uint32_t count;
        int index, expected;
    };
    // A column truncated to no height doubles from one pixel, so small counts settle over a few rounds.
    for (const Case c : {Case{10, 20, 4}, Case{0, 9, 0}, Case{300, 9, 9}, Case{200, 9, 9}, Case{90, 9, 7}}) {
        PlotFixture f(512);
        f.SetCount(100, c.count);
        f.plot->Scale().SetIndex(c.index);
        f.plot->Run(PlotCommand::AutoVertical);
        f.plot->ReduceAndSettle();
        EXPECT_FALSE(f.plot->Reduce());
        EXPECT_EQ(f.plot->Scale().LinearIndex(), c.expected) << c.count << " at " << c.index;
    }
}

TEST(SpectrumPlotScale, AutomaticScaleIsImpossibleOnALogarithmicScale) {
    PlotFixture f;
    f.plot->Run(PlotCommand::AutoVertical);
    ASSERT_TRUE(f.plot->Scale().Auto());
    f.plot->Run(PlotCommand::Logarithmic);
    EXPECT_FALSE(f.plot->Scale().Auto());
    f.plot->Run(PlotCommand::AutoVertical);
    EXPECT_FALSE(f.plot->Checked(PlotCommand::AutoVertical));
    EXPECT_TRUE(f.plot->Checked(PlotCommand::Logarithmic));
    EXPECT_FALSE(f.plot->Checked(PlotCommand::Linear));
    f.plot->Run(PlotCommand::Linear);
    f.plot->Run(PlotCommand::AutoVertical);
    EXPECT_TRUE(f.plot->Scale().Auto());
    f.plot->Run(PlotCommand::CompressVertical); // a manual change ends it
    EXPECT_FALSE(f.plot->Scale().Auto());
}

TEST(SpectrumPlotScale, HeightsAndLabelsOfBothScales) {
    VerticalScale s;
    EXPECT_EQ(s.Label(), " 512  ");
    EXPECT_EQ(s.Height(512, 400), 400);
    EXPECT_EQ(s.Height(0xFFFFFFFFu, 400), 0xFFFFFFFFu / 1); // q = 512 / 400 = 1
    s.SetIndex(31);
    EXPECT_EQ(s.Label(), "  2B  ");
    EXPECT_EQ(s.Height(0xFFFFFFFFu, 400), 0xFFFFFFFFu / (0x40000000u / 200));
    s.SetIndex(16);
    EXPECT_EQ(s.Label(), " 65k  ");
    s.SetLogarithmic();
    EXPECT_EQ(s.Label(), "LOG  ");
    EXPECT_EQ(s.Height(1, 400), 0);
    EXPECT_EQ(s.Height(65536, 400), 400); // 16 orders over the whole height
    EXPECT_EQ(s.Height(1000, 400), 249);  // log2(1000)·400/16 = 249.1
    s.SetIndex(1);
    EXPECT_EQ(s.Height(65536, 400), 200);
    s.SetIndex(5); // clamped: the logarithmic scale has two indexes
    EXPECT_EQ(s.LogIndex(), 1);
}

TEST(SpectrumPlotScale, TinyPanesAndStoredIndexesOutOfRangeAreSafe) {
    // A pane under 25 pixels: the plot bottom lies above the plot top; automatic scaling stops at 31.
    PlotFixture tiny(512, 10, 12);
    EXPECT_EQ(tiny.plot->Geometry().plotWidth, 1);
    EXPECT_EQ(tiny.plot->Geometry().plotHeight, 4);
    tiny.SetCount(3, 0xFFFFFFFFu);
    tiny.plot->Scale().SetIndex(0);
    tiny.plot->Run(PlotCommand::AutoVertical);
    tiny.plot->Reduce();
    EXPECT_EQ(tiny.plot->Scale().LinearIndex(), 31);
    tiny.plot->LeftButtonDown(5);
    EXPECT_GE(tiny.record->Cursor(), 0);
    EXPECT_LE(tiny.record->Cursor(), 511);

    VerticalScale s;
    s.Restore(true, 99, -3, false);
    EXPECT_EQ(s.LinearIndex(), 31);
    EXPECT_EQ(s.LogIndex(), 0);
    EXPECT_EQ(s.Label(), "  2B  ");
    s.Restore(false, -7, 9, true);
    EXPECT_EQ(s.LinearIndex(), 0);
    EXPECT_EQ(s.LogIndex(), 1);
    EXPECT_FALSE(s.Auto());

    // A view outside the spectrum (a stale record) is drawn as the nearest legal one.
    PlotFixture f(512);
    f.record->SetView(-40, 90000);
    f.plot->Reduce();
    EXPECT_EQ(f.plot->Columns().size(), 512u);
    EXPECT_EQ(f.plot->Labels().right, "   511 ");
}

TEST(SpectrumPlotColumns, EachPixelColumnShowsItsHighestChannelInTheColourOfTheFirst) {
    PlotFixture f(16384, 1054); // 1024 pixels for 16384 channels: 16 channels per column
    for (int c = 0; c < 48; ++c)
        f.record->HardCounts()[static_cast<std::size_t>(c)] = 5;
    f.record->HardCounts()[7] = 900;
    f.record->Fold();
    f.record->SetSoftMark(16, true); // first channel of column 1
    f.record->SetSoftMark(33, true); // not the first of column 2
    f.plot->Scale().SetIndex(10);
    f.plot->Reduce();
    const auto cols = f.plot->Columns();
    ASSERT_EQ(cols.size(), 1024u);
    const PlotGeometry& g = f.plot->Geometry();
    EXPECT_EQ(cols[0].top, g.plotBottom - 900 * 400 / 1024);
    EXPECT_EQ(cols[1].top, g.plotBottom - 5 * 400 / 1024);
    EXPECT_EQ(cols[1].channel, 16);
    EXPECT_FALSE(cols[0].roi);
    EXPECT_TRUE(cols[1].roi);
    EXPECT_FALSE(cols[2].roi);
    EXPECT_EQ(cols[0].left, g.plotLeft);
    EXPECT_EQ(cols.back().right, g.plotRight - 1);

    // Fewer channels than pixels: each channel covers its pixels without gaps, its point in the middle.
    PlotFixture wide(512, 1054);
    wide.plot->SetView(512, true);
    wide.plot->Reduce();
    const auto w = wide.plot->Columns();
    ASSERT_EQ(w.size(), 512u);
    EXPECT_EQ(w[0].left, 20);
    EXPECT_EQ(w[0].right, 21);
    EXPECT_EQ(w[0].x, 21);
    for (std::size_t k = 1; k < w.size(); ++k)
        ASSERT_EQ(w[k].left, w[k - 1].right + 1);
    EXPECT_EQ(wide.plot->PenWidth(), 1);
    wide.plot->SetStyle(DrawingStyle::Dots);
    EXPECT_EQ(wide.plot->PenWidth(), 2);
}

TEST(SpectrumPlotColumns, OnlyChangedColumnsAreDrawnAgainAndJoinedStylesReachTheirNeighbours) {
    PlotFixture f(512);
    f.plot->Reduce();
    EXPECT_TRUE(f.plot->NeedsFullRedraw());
    f.plot->CommitFull();
    EXPECT_FALSE(f.plot->NeedsFullRedraw());
    f.plot->Reduce();
    EXPECT_TRUE(f.plot->ChangedRuns().empty());

    f.SetCount(100, 50);
    f.SetCount(101, 50);
    f.SetCount(300, 50);
    f.record->SetSoftMark(400, true);
    f.plot->Reduce();
    auto runs = f.plot->ChangedRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, 100);
    EXPECT_EQ(runs[0].last, 101);
    EXPECT_EQ(runs[2].first, 400);

    f.plot->SetStyle(DrawingStyle::Line);
    EXPECT_TRUE(f.plot->NeedsFullRedraw()); // a style change draws everything
    runs = f.plot->ChangedRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first, 99);
    EXPECT_EQ(runs[0].last, 102);

    f.plot->CommitFull();
    f.plot->ScrollTo(0); // nothing moved
    EXPECT_FALSE(f.plot->NeedsFullRedraw());
    f.plot->Run(PlotCommand::CompressVertical);
    EXPECT_TRUE(f.plot->NeedsFullRedraw());
}

TEST(SpectrumPlotRoi, FromCursorStopsAtAnExistingRoiWhileMarkOverRunsThroughIt) {
    struct Case {
        RoiMode mode;
        std::vector<int> marked;
    };
    std::vector<int> fromCursor = PlotFixture::Range(100, 120);
    std::vector<int> over = PlotFixture::Range(90, 120);
    for (const Case& c : {Case{RoiMode::FromCursor, fromCursor}, Case{RoiMode::MarkOver, over}}) {
        PlotFixture f(512);
        f.plot->SetMode(c.mode);
        f.MarkExisting(100, 110);
        f.plot->LeftButtonDown(f.X(120));
        f.plot->RightButtonDown(f.X(120)); // left then right: mark
        for (int ch = 119; ch >= 90; --ch)
            f.plot->MouseMove(f.X(ch));
        EXPECT_EQ(f.Marked(80, 130), c.marked) << static_cast<int>(c.mode);
        EXPECT_EQ(f.record->Cursor(), 90);
        f.plot->RightButtonUp();
        f.plot->LeftButtonUp();
        EXPECT_FALSE(f.plot->Marker().Active());
        EXPECT_FALSE(f.plot->PointerHidden());
    }
}

TEST(SpectrumPlotRoi, FromCursorRunFollowsTheCursorBackAndErasingClearsBetweenAnchorAndCursor) {
    PlotFixture f(512);
    f.plot->SetMode(RoiMode::FromCursor);
    f.plot->LeftButtonDown(f.X(200));
    f.plot->RightButtonDown(f.X(200));
    f.plot->MouseMove(f.X(180));
    EXPECT_EQ(f.Marked(150, 250), PlotFixture::Range(180, 200));
    f.plot->MouseMove(f.X(190));
    EXPECT_EQ(f.Marked(150, 250), PlotFixture::Range(190, 200));
    f.plot->MouseMove(f.X(210)); // across the anchor: the left part goes, the right part grows
    EXPECT_EQ(f.Marked(150, 250), PlotFixture::Range(200, 210));
    f.plot->LeftButtonUp();
    f.plot->RightButtonUp();

    // Right then left erases; the hard channels follow the soft ones.
    f.plot->RightButtonDown(f.X(208));
    f.plot->LeftButtonDown(f.X(208));
    EXPECT_EQ(f.plot->Marker().Current(), RoiMarker::Action::Erase);
    f.plot->MouseMove(f.X(204));
    EXPECT_EQ(f.Marked(150, 250), (std::vector<int>{200, 201, 202, 203, 209, 210}));
    EXPECT_EQ(f.record->HardMarks()[205], 0);
    EXPECT_EQ(f.record->HardMarks()[210], 1);
}

TEST(SpectrumPlotRoi, MarkingASoftChannelMarksAllItsHardChannels) {
    CSpectrum r(true);
    r.SetShown(true);
    r.SetSizes(16384, 4096); // F = 4
    SpectrumPlot plot(r);
    plot.SetClientRect(0, 0, 542, 445);
    plot.SetView(512, true); // channels 1792..2303, one per pixel
    plot.KeyDown(PlotKey::Right, true, false);
    plot.KeyDown(PlotKey::Right, true, false);
    plot.KeyUp();
    for (int h = 2048 * 4; h < 2051 * 4; ++h)
        EXPECT_EQ(r.HardMarks()[static_cast<std::size_t>(h)], 1) << h;
    EXPECT_EQ(r.HardMarks()[2051 * 4], 0);
    EXPECT_EQ(r.HardMarks()[2048 * 4 - 1], 0);
}

TEST(SpectrumPlotKeys, ArrowStepsGrowWithRepeatsScrollTheViewAndShiftMarksCtrlErases) {
    PlotFixture f(512);
    f.plot->SetView(64, true); // 224..287
    f.record->SetCursor(250);
    for (int i = 0; i < 16; ++i)
        f.plot->KeyDown(PlotKey::Right, false, false);
    EXPECT_EQ(f.record->Cursor(), 266);
    f.plot->KeyDown(PlotKey::Right, false, false); // the 17th key-down steps 2
    EXPECT_EQ(f.record->Cursor(), 268);
    f.plot->KeyUp();
    f.plot->KeyDown(PlotKey::Right, false, false);
    EXPECT_EQ(f.record->Cursor(), 269);

    f.record->SetCursor(287);
    f.plot->KeyDown(PlotKey::Right, false, false); // leaving the view scrolls it by the step
    Expect(*f.record, 225, 288, 288);
    f.plot->KeyUp();

    f.plot->KeyDown(PlotKey::Left, true, false); // Shift: marks from the channel the cursor leaves
    f.plot->KeyDown(PlotKey::Left, true, false);
    f.plot->KeyUp();
    EXPECT_EQ(f.Marked(200, 300), PlotFixture::Range(286, 288));
    f.plot->KeyDown(PlotKey::Right, false, true); // Ctrl: erases
    f.plot->KeyUp();
    EXPECT_EQ(f.Marked(200, 300), (std::vector<int>{288}));
    EXPECT_FALSE(f.plot->Marker().Active());
}

TEST(SpectrumPlotKeys, OtherKeysZoomScaleAndCycleTheStyle) {
    PlotFixture f;
    f.plot->KeyDown(PlotKey::ZoomIn, false, false);
    EXPECT_EQ(f.record->ViewWidth(), 8192);
    f.plot->KeyDown(PlotKey::ZoomOut, false, false);
    f.plot->KeyDown(PlotKey::ZoomIn, false, false);
    f.plot->KeyDown(PlotKey::Home, false, false);
    EXPECT_EQ(f.record->ViewWidth(), 16384);
    f.plot->KeyDown(PlotKey::Up, false, false);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 8);
    f.plot->KeyDown(PlotKey::Down, false, false);
    f.plot->KeyDown(PlotKey::Down, false, false);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 10);
    f.plot->Wheel(-3);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 7);
    std::vector<DrawingStyle> styles;
    for (int i = 0; i < 4; ++i) {
        f.plot->KeyDown(PlotKey::NextStyle, false, false);
        styles.push_back(f.plot->Style());
    }
    EXPECT_EQ(styles, (std::vector<DrawingStyle>{DrawingStyle::Steps, DrawingStyle::Line, DrawingStyle::Dots,
                                                 DrawingStyle::Bars}));
}

TEST(SpectrumPlotMouse, DraggingPastTheWindowEdgeScrollsOnlyWhenMovingFurtherOut) {
    PlotFixture f(4096);
    f.record->SetCursor(2048);
    f.plot->SetView(1024, true); // 1536..2559, step 16
    f.plot->LeftButtonDown(f.X(1600));
    f.plot->RightButtonDown(f.X(1600));
    ASSERT_TRUE(f.plot->Marker().Active());
    f.plot->MouseMove(-1);
    EXPECT_FALSE(f.plot->Marker().Active()); // leaving ends the marking
    Expect(*f.record, 1520, 2543, 1520);
    f.plot->MouseMove(-1); // not further out
    EXPECT_EQ(f.record->FirstChannel(), 1520);
    f.plot->MouseMove(-5);
    EXPECT_EQ(f.record->FirstChannel(), 1504);
    f.plot->MouseMove(542); // right of the window
    Expect(*f.record, 1520, 2543, 2543);
    f.plot->MouseMove(300); // back inside: the cursor follows the pointer
    EXPECT_EQ(f.record->Cursor(), f.plot->ChannelAt(300));
    f.plot->LeftButtonUp();
    EXPECT_TRUE(f.plot->Captured()); // the right button is still held
    f.plot->RightButtonUp();
    EXPECT_FALSE(f.plot->Captured());
    f.plot->MouseMove(-50); // no button: nothing
    EXPECT_EQ(f.record->FirstChannel(), 1520);

    PlotFixture narrow(512);
    narrow.plot->SetView(100, true);
    narrow.plot->LeftButtonDown(narrow.X(300));
    narrow.plot->MouseMove(-1);
    EXPECT_EQ(narrow.record->FirstChannel(), 205); // under 128 channels the step is 1
}

TEST(SpectrumPlotMouse, DoubleClicksZoomAroundTheCursor) {
    PlotFixture f;
    f.plot->LeftButtonDown(f.X(3000));
    f.plot->LeftButtonUp();
    EXPECT_EQ(f.record->Cursor(), f.plot->ChannelAt(f.X(3000)));
    f.plot->LeftDoubleClick();
    f.plot->LeftButtonUp();
    EXPECT_EQ(f.record->ViewWidth(), 8192);
    f.plot->RightDoubleClick();
    f.plot->RightButtonUp();
    EXPECT_EQ(f.record->ViewWidth(), 16384);
    EXPECT_FALSE(f.plot->Captured());
}

TEST(SpectrumPlotScroll, ScrollBarsMapToTheViewAndTheScaleIndex) {
    PlotFixture f;
    f.record->SetCursor(8192);
    f.plot->SetView(1024, true); // 7680..8703
    ScrollRange h = f.plot->Horizontal();
    EXPECT_EQ(h.maximum, 16384 - 1024);
    EXPECT_EQ(h.page, 1024);
    EXPECT_EQ(h.position, 7680);
    f.plot->HorizontalScroll(ScrollAction::LineForward);
    EXPECT_EQ(f.record->FirstChannel(), 7744);
    f.plot->HorizontalScroll(ScrollAction::PageBack);
    EXPECT_EQ(f.record->FirstChannel(), 7232);
    f.plot->HorizontalScroll(ScrollAction::Thumb, 20000);
    Expect(*f.record, 15360, 16383, 15360);
    f.plot->HorizontalScroll(ScrollAction::Thumb, 3);
    EXPECT_EQ(f.record->FirstChannel(), 3);

    ScrollRange v = f.plot->Vertical();
    EXPECT_EQ(v.maximum, 31);
    EXPECT_EQ(v.position, 9);
    f.plot->VerticalScroll(ScrollAction::PageBack);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 8);
    f.plot->VerticalScroll(ScrollAction::Thumb, 40);
    EXPECT_EQ(f.plot->Scale().LinearIndex(), 31);
    f.plot->Run(PlotCommand::Logarithmic);
    v = f.plot->Vertical();
    EXPECT_EQ(v.maximum, 1);
    f.plot->VerticalScroll(ScrollAction::LineForward);
    EXPECT_EQ(f.plot->Vertical().position, 1);
}

TEST(SpectrumPlotLabels, ChannelsOrEnergiesUnderTheAxisAndTheCursorStatus) {
    PlotFixture f;
    f.record->SetCursor(1000);
    f.plot->SetView(512, true);
    EXPECT_EQ(f.plot->Labels(), (AxisLabels{"744    ", "  1000 ", "  1255 "}));
    f.SetCount(1000, 4242);
    EXPECT_EQ(f.plot->CursorStatusText(), "CURSOR: 1000    COUNTS: 4242      ");

    CalibrationSet& cal = f.record->WorkingCalibration(0);
    cal.enabled = 1;
    cal.a = 0.0;
    cal.b = 0.5;
    cal.c = 1.25;
    EXPECT_EQ(f.plot->Labels(), (AxisLabels{"373.25    ", "   501.25 ", "   628.75 "}));
}

TEST(SpectrumPlotColours, DefaultsAndCancelRestoringTwoChangedColours) {
    const DisplayColours d = SpectrumPlot::DefaultColours();
    EXPECT_EQ(d.cursor, 0x003C96FFu);
    EXPECT_EQ(d.spectrum, 0x0000E6F0u);
    EXPECT_EQ(d.background, 0u);
    EXPECT_EQ(d.roi, 0x00DC6E28u);

    PlotFixture f;
    int redraws = 0;
    ColourDialogModel dialog(*f.plot);
    dialog.changed = [&] { ++redraws; };
    dialog.Choose(ColourRole::Background, 0x00102030);
    dialog.Choose(ColourRole::Cursor, 0xFF0000FF); // only 24 bits are a colour
    EXPECT_EQ(f.plot->Colours().background, 0x00102030u);
    EXPECT_EQ(f.plot->Colours().cursor, 0x000000FFu);
    dialog.Cancel();
    EXPECT_EQ(f.plot->Colours(), d);
    EXPECT_EQ(redraws, 3);

    ColourDialogModel again(*f.plot);
    again.Choose(ColourRole::Roi, 0x00FFFFFF);
    again.Default();
    EXPECT_EQ(f.plot->Colours(), d);
}

} // namespace
} // namespace orvane
