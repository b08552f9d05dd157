#include "analysis/ui/CColorDlg.h"
#include "analysis/ui/CSpectrumPlotView.h"
#include "analysis/ui/CSpectrumWnd.h"
#include "analysis/ui/PlotPainter.h"
#include "session/Spectra.h"

#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace orvane {
namespace {

// A peak on a falling continuum over all 16384 channels, like a gamma line on its Compton shelf.
void FillSpectrum(CSpectrum& record, double scale = 1.0) {
    for (int h = 0; h < CSpectrum::kChannels; ++h) {
        const double continuum = 400.0 * std::exp(-h / 4000.0);
        const double peak = 900.0 * std::exp(-std::pow((h - 6620) / 40.0, 2));
        record.HardCounts()[static_cast<std::size_t>(h)] =
            static_cast<std::uint32_t>((continuum + peak) * scale);
    }
    record.Fold();
}

struct WndFixture {
    WndFixture() : spectra(std::make_unique<Spectra>()), wnd(std::make_unique<CSpectrumWnd>(*spectra)) {
        wnd->resize(900, 520);
        wnd->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(wnd.get()));
    }
    CSpectrumPlotView& Buffer() { return wnd->View(spectra->buffer); }
    int X(CSpectrumPlotView& view, int channel) {
        const CSpectrum& r = view.Record();
        return view.Plot().Geometry().ChannelX(channel, r.FirstChannel(), r.ViewWidth());
    }
    QPoint At(CSpectrumPlotView& view, int channel) { return QPoint(X(view, channel), 150); }

    std::unique_ptr<Spectra> spectra;
    std::unique_ptr<CSpectrumWnd> wnd;
};

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0x00FFFFFFu;
}

QRgb Rgb(std::uint32_t bgr) {
    return PlotPainter::ToColor(bgr).rgb() & 0x00FFFFFFu;
}

TEST(CSpectrumWnd, SwitchingTabsShowsOneRecordAndMakesItActive) {
    WndFixture f;
    EXPECT_EQ(f.spectra->active, &f.spectra->buffer);
    EXPECT_TRUE(f.spectra->buffer.Shown());
    EXPECT_FALSE(f.spectra->file.Shown());
    EXPECT_EQ(f.wnd->Tabs()->tabText(0), "BUFFER");
    EXPECT_EQ(f.wnd->Tabs()->tabText(1), "FILE");

    QSignalSpy active(f.wnd.get(), &CSpectrumWnd::activeChanged);
    QTabBar* bar = f.wnd->Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(f.spectra->active, &f.spectra->file);
    EXPECT_TRUE(f.spectra->file.Shown());
    EXPECT_FALSE(f.spectra->buffer.Shown());
    ASSERT_EQ(active.count(), 1);
    EXPECT_EQ(active.at(0).at(0).value<CSpectrum*>(), &f.spectra->file);
    EXPECT_EQ(&f.wnd->ActiveView(), &f.wnd->View(f.spectra->file));

    // Counts that arrive while the buffer is hidden are not folded then, but are shown when it is again.
    f.spectra->buffer.HardCounts()[100] = 77;
    f.spectra->buffer.FoldBlock(0, 2048);
    EXPECT_EQ(f.spectra->buffer.SoftCounts()[100], 0u);
    f.wnd->ShowRecord(f.spectra->buffer);
    EXPECT_EQ(f.spectra->buffer.SoftCounts()[100], 77u);
    EXPECT_EQ(f.spectra->active, &f.spectra->buffer);
    EXPECT_EQ(&f.wnd->ShownRecord(), &f.spectra->buffer);
    EXPECT_FALSE(f.spectra->file.Shown());

    // Taking the focus re-applies the record's sizes and asks the information pane to rebuild.
    QSignalSpy focused(f.wnd.get(), &CSpectrumWnd::plotFocused);
    f.wnd->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.wnd.get()));
    f.spectra->buffer.SetNeedsRefresh(false);
    f.wnd->ActiveView().setFocus();
    EXPECT_TRUE(f.spectra->buffer.NeedsRefresh());
    ASSERT_EQ(focused.count(), 1);
    EXPECT_EQ(focused.at(0).at(0).value<CSpectrum*>(), &f.spectra->buffer);

    // The plot commands act on the active record only.
    f.wnd->RunCommand(PlotCommand::ExpandAroundCursor);
    EXPECT_EQ(f.spectra->buffer.ViewWidth(), 8192);
    EXPECT_EQ(f.spectra->file.ViewWidth(), 16384);
    f.wnd->RunCommand(PlotCommand::Logarithmic);
    EXPECT_TRUE(f.wnd->CommandChecked(PlotCommand::Logarithmic));
    f.wnd->ShowRecord(f.spectra->file);
    EXPECT_TRUE(f.wnd->CommandChecked(PlotCommand::Linear));
}

TEST(CSpectrumWnd, MouseAndKeysMoveTheCursorAndMarkRois) {
    WndFixture f;
    CSpectrumPlotView& view = f.Buffer();
    CSpectrum& r = f.spectra->buffer;
    FillSpectrum(r);
    f.wnd->Tick();
    view.Plot().SetView(512, true); // 7936..8447: a channel per pixel or more
    f.wnd->Tick();
    QSignalSpy cursorText(f.wnd.get(), &CSpectrumWnd::cursorStatusChanged);
    QSignalSpy roiText(f.wnd.get(), &CSpectrumWnd::roiStatusChanged);
    QSignalSpy moved(f.wnd.get(), &CSpectrumWnd::cursorMoved);

    const int from = 8000, to = 8040;
    QTest::mousePress(&view, Qt::LeftButton, {}, f.At(view, from));
    EXPECT_EQ(r.Cursor(), view.Plot().ChannelAt(f.X(view, from)));
    const int anchor = r.Cursor();
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    QTest::mousePress(&view, Qt::RightButton, {}, f.At(view, from)); // left then right: marking
    QTest::mouseMove(&view, f.At(view, to));
    const int end = r.Cursor();
    QTest::mouseRelease(&view, Qt::RightButton, {}, f.At(view, to));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, f.At(view, to));
    EXPECT_NE(view.cursor().shape(), Qt::BlankCursor);
    for (int c = anchor; c <= end; ++c)
        ASSERT_EQ(r.SoftMarks()[static_cast<std::size_t>(c)], 1) << c;
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(anchor - 1)], 0);
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(end + 1)], 0);
    ASSERT_FALSE(roiText.isEmpty());
    char roi[64];
    std::snprintf(roi, sizeof roi, "ROI: %6d to %-6d  W: %-6d", anchor, end, end - anchor + 1);
    EXPECT_EQ(roiText.last().at(0).toString().toStdString(), roi);
    EXPECT_GE(moved.count(), 2);

    // Keys: a step right leaves the ROI; Shift+Left marks back into it; the status follows.
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(r.Cursor(), end + 1);
    EXPECT_EQ(roiText.last().at(0).toString(), " ");
    const std::string expected = "CURSOR: " + std::to_string(end + 1);
    EXPECT_EQ(cursorText.last().at(0).toString().left(static_cast<int>(expected.size())).toStdString(),
              expected);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(end + 1)], 1);
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(end + 2)], 1);
    QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier); // erases from where the cursor was
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(end + 2)], 0);
    EXPECT_EQ(r.SoftMarks()[static_cast<std::size_t>(end + 1)], 0);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_EQ(view.Plot().Style(), DrawingStyle::Steps);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(r.ViewWidth(), 16384);

    // The wheel steps the scale a notch at a time.
    const int index = view.Plot().Scale().LinearIndex();
    QWheelEvent wheel(QPointF(100, 100), view.mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(view.Plot().Scale().LinearIndex(), index + 1);
}

TEST(CSpectrumWnd, ScrollBarsFollowTheViewAndMoveIt) {
    WndFixture f;
    CSpectrumPlotView& view = f.Buffer();
    CSpectrum& r = f.spectra->buffer;
    QScrollBar* horizontal = nullptr;
    QScrollBar* vertical = nullptr;
    for (QScrollBar* bar : view.findChildren<QScrollBar*>())
        (bar->orientation() == Qt::Horizontal ? horizontal : vertical) = bar;
    ASSERT_TRUE(horizontal && vertical);

    f.wnd->RunCommand(PlotCommand::ExpandAroundCursor);
    f.wnd->RunCommand(PlotCommand::ExpandAroundCursor); // 4096 channels from 6144
    EXPECT_EQ(horizontal->maximum(), 16384 - 4096);
    EXPECT_EQ(horizontal->pageStep(), 4096);
    EXPECT_EQ(horizontal->value(), 6144);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(r.FirstChannel(), 6144 + 256);
    horizontal->triggerAction(QAbstractSlider::SliderPageStepSub); // half a view, not a whole one
    EXPECT_EQ(r.FirstChannel(), 6144 + 256 - 2048);
    EXPECT_EQ(horizontal->value(), r.FirstChannel());
    horizontal->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(r.LastChannel(), 16383);

    EXPECT_EQ(vertical->maximum(), 31);
    EXPECT_EQ(vertical->value(), 9);
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view.Plot().Scale().LinearIndex(), 8);
    f.wnd->RunCommand(PlotCommand::Logarithmic);
    EXPECT_EQ(vertical->maximum(), 1);
    EXPECT_EQ(vertical->value(), 0);
}

TEST(CSpectrumWnd, CancelInTheColourDialogRestoresTwoChangedColours) {
    WndFixture f;
    CSpectrumPlotView& view = f.Buffer();
    f.wnd->Tick();
    const DisplayColours before = f.wnd->Colours(f.spectra->buffer);
    const QPoint empty(view.Plot().Geometry().plotLeft + 40, view.Plot().Geometry().plotTop + 5);
    ASSERT_EQ(Pixel(view.Canvas(), empty.x(), empty.y()), Rgb(before.background));

    std::vector<std::uint32_t> answers = {0x00402010, 0x0000FF00};
    f.wnd->SetColourPicker([&](std::uint32_t, const QString&) -> std::optional<std::uint32_t> {
        if (answers.empty())
            return std::nullopt;
        const std::uint32_t next = answers.front();
        answers.erase(answers.begin());
        return next;
    });
    bool ran = false;
    f.wnd->SetColourDialogRunner([&](CColorDlg& dialog) {
        ran = true;
        EXPECT_EQ(dialog.windowTitle(), "ADJUST COLORS");
        dialog.Button(ColourRole::Background)->click();
        dialog.Button(ColourRole::Spectrum)->click();
        dialog.Button(ColourRole::Cursor)->click(); // the picker is cancelled: nothing changes
        const DisplayColours changed = f.wnd->Colours(f.spectra->buffer);
        EXPECT_EQ(changed.background, 0x00402010u);
        EXPECT_EQ(changed.spectrum, 0x0000FF00u);
        EXPECT_EQ(changed.cursor, before.cursor);
        EXPECT_EQ(Pixel(view.Canvas(), empty.x(), empty.y()), Rgb(0x00402010)); // applied at once
        dialog.CancelButton()->click();
    });
    f.wnd->AdjustColours();
    ASSERT_TRUE(ran);
    EXPECT_EQ(f.wnd->Colours(f.spectra->buffer), before);
    EXPECT_EQ(Pixel(view.Canvas(), empty.x(), empty.y()), Rgb(before.background));

    // OK keeps; "Default" brings back the defaults; the other record is untouched.
    answers = {0x00112233};
    f.wnd->SetColourDialogRunner([&](CColorDlg& dialog) {
        dialog.Button(ColourRole::Roi)->click();
        dialog.OkButton()->click();
    });
    f.wnd->AdjustColours();
    EXPECT_EQ(f.wnd->Colours(f.spectra->buffer).roi, 0x00112233u);
    EXPECT_EQ(f.wnd->Colours(f.spectra->file), SpectrumPlot::DefaultColours());
    f.wnd->SetColourDialogRunner([&](CColorDlg& dialog) {
        dialog.DefaultButton()->click();
        dialog.OkButton()->click();
    });
    f.wnd->AdjustColours();
    EXPECT_EQ(f.wnd->Colours(f.spectra->buffer), SpectrumPlot::DefaultColours());
}

TEST(CSpectrumWnd, SixteenThousandChannelsPaintAndTheTimerRepaintShowsNewCounts) {
    WndFixture f;
    f.wnd->resize(1300, 700);
    CSpectrumPlotView& view = f.Buffer();
    CSpectrum& r = f.spectra->buffer;
    FillSpectrum(r);
    view.Plot().Run(PlotCommand::AutoVertical);
    f.wnd->Tick();
    const QImage shot = f.wnd->GrabSpectrum();
    ASSERT_FALSE(shot.isNull());
    if (const QByteArray path = qgetenv("ORVANE_PLOT_PNG"); !path.isEmpty())
        f.wnd->GrabWindow().save(QString::fromLocal8Bit(path));

    const PlotGeometry& g = view.Plot().Geometry();
    const DisplayColours c = view.Plot().Colours();
    const int peakX = f.X(view, 6620);
    EXPECT_EQ(Pixel(view.Canvas(), peakX, g.plotBottom - 5), Rgb(c.spectrum));
    EXPECT_LT(view.Plot().Columns()[static_cast<std::size_t>(peakX - g.plotLeft)].top,
              g.plotTop + g.plotHeight / 2);
    const int cursorX = view.Plot().CursorX();
    EXPECT_EQ(Pixel(view.Canvas(), cursorX, g.plotTop), Rgb(c.cursor));               // over the background
    EXPECT_EQ(Pixel(view.Canvas(), g.plotLeft - 1, g.plotTop + 10), Rgb(c.spectrum)); // the axis

    // One chunk of new counts at the start: only that part changes at the next tick.
    const int quietX = f.X(view, 12000);
    const QRgb quiet = Pixel(view.Canvas(), quietX, g.plotBottom - 3);
    for (int h = 0; h < 2048; ++h)
        r.HardCounts()[static_cast<std::size_t>(h)] = 0;
    r.FoldBlock(0, 2048);
    f.wnd->Tick();
    EXPECT_EQ(Pixel(view.Canvas(), f.X(view, 1000), g.plotBottom - 3), Rgb(c.background));
    EXPECT_EQ(Pixel(view.Canvas(), quietX, g.plotBottom - 3), quiet);
}

TEST(CSpectrumWnd, TheTimerRepaintDrawsExactlyWhatAFullRepaintWouldInEveryStyle) {
    for (int style = 0; style < 4; ++style) {
        WndFixture f;
        CSpectrumPlotView& view = f.Buffer();
        CSpectrum& r = f.spectra->buffer;
        view.Plot().SetStyle(static_cast<DrawingStyle>(style));
        view.Plot().Scale().SetIndex(10);
        FillSpectrum(r);
        view.Plot().SetView(1024, true); // fewer pixels than channels here; wider pixels below
        f.wnd->Tick();
        for (const int width : {1024, 256}) {
            view.Plot().SetView(width, true);
            f.wnd->Tick();
            // New counts, a new ROI, a cursor move and a scroll, drawn incrementally.
            for (int h = 7800; h < 8100; ++h)
                r.HardCounts()[static_cast<std::size_t>(h)] += 300;
            r.FoldBlock(7800, 300);
            for (int s = 8150; s < 8170; ++s)
                r.SetSoftMark(s, true);
            view.Plot().MoveCursor(8160);
            f.wnd->Tick();
            view.Plot().ScrollTo(r.FirstChannel() + 7);
            f.wnd->Tick();
            const QImage incremental = view.Canvas().copy();
            view.RequestFullRedraw();
            f.wnd->Tick();
            const QImage& full = view.Canvas();
            int differing = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < full.height(); ++y)
                for (int x = 0; x < full.width(); ++x)
                    if (incremental.pixel(x, y) != full.pixel(x, y) && differing++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
            EXPECT_EQ(differing, 0) << "style " << style << " width " << width << " first at " << firstX
                                    << "," << firstY;
        }
    }
}

} // namespace
} // namespace orvane
