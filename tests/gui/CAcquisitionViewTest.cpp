#include "panels/ui/CAcquisitionView.h"

#include "gui/GuiTestSupport.h"
#include "panels/ui/CSpinButtons.h"
#include "support/SimulatedSession.h"
#include "support/TempDir.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace orvane {
namespace {

// The pane over a whole session against the simulated instrument, driven through its widgets.
struct Pane {
    explicit Pane(const SimulatorOptions& options = {}) : sim(options) {
        view.show();
        QCoreApplication::sendPostedEvents(); // lays the pane out, so clicks land on the buttons
    }

    template <typename W> W& Get(const char* name) {
        W* widget = view.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    QString Text(const char* edit) { return Get<QLineEdit>(edit).text(); }
    // Types into an edit as the user does, after emptying it.
    void Type(const char* edit, const char* text) {
        QLineEdit& field = Get<QLineEdit>(edit);
        field.setFocus();
        field.selectAll();
        QTest::keyClick(&field, Qt::Key_Backspace);
        QTest::keyClicks(&field, QString::fromLatin1(text));
    }
    // Picks a selector entry from its open list with the mouse, as the user does.
    void Choose(const char* selector, int index) {
        QComboBox& box = Get<QComboBox>(selector);
        box.showPopup();
        QAbstractItemView* list = box.view();
        const QRect item = list->visualRect(list->model()->index(index, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        ASSERT_FALSE(list->isVisible()) << "the list closes on the choice";
    }
    void Click(const char* name) { QTest::mouseClick(&Get<QAbstractButton>(name), Qt::LeftButton); }
    bool Shown(const char* name) { return !Get<QWidget>(name).isHidden(); }
    RegisterImage& Image() { return sim.session.spectra.buffer.Image(); }

    test::SimulatedSession sim;
    CAcquisitionView view{sim.session, sim.host, sim.loop};
};

TEST(CAcquisitionView, CoincidenceModeSetsTheRegistersAndTheTimingEditsClamp) {
    Pane p;
    p.sim.Connect();
    p.Choose("coincidence", AcquisitionPanel::kDisabled);
    EXPECT_TRUE(p.Image().Bit(16, 14));
    EXPECT_FALSE(p.Get<QLineEdit>("srcDelay").isEnabled()) << "DISABLED leaves only Peak Delay";
    EXPECT_FALSE(p.Get<CSpinButtons>("winWidthSpin").isEnabled());
    EXPECT_TRUE(p.Get<QLineEdit>("peakDelay").isEnabled());

    p.Choose("coincidence", AcquisitionPanel::kWindowAnticoinc);
    EXPECT_EQ(p.Image().Get(69) & 0xC000, 0xC000);
    EXPECT_FALSE(p.Image().Bit(16, 14));
    ASSERT_TRUE(p.sim.Written(69));
    ASSERT_TRUE(p.sim.Written(16));
    EXPECT_TRUE(p.Get<QLineEdit>("srcDelay").isEnabled());
    EXPECT_TRUE(p.Get<CSpinButtons>("winWidthSpin").isEnabled());

    p.Type("srcDelay", "5000");
    EXPECT_EQ(p.Text("srcDelay"), "4095");
    EXPECT_EQ(p.Image().Get(68), 4095);
    p.Type("srcDelay", "0");
    EXPECT_EQ(p.Text("srcDelay"), "1");
    EXPECT_EQ(p.Image().Get(68), 1);
    ASSERT_TRUE(p.sim.Written(68));
}

TEST(CAcquisitionView, AClockCodeChangeReRendersTheMicroseconds) {
    Pane p;
    p.Type("peakDelay", "240");
    p.sim.session.link.Period().Derive(0x0000);
    p.view.Refresh();
    EXPECT_EQ(p.Text("peakDelayUs"), "  3.0000");
    p.sim.session.link.Period().Derive(0x000C);
    p.view.Refresh();
    EXPECT_EQ(p.Text("peakDelayUs"), "  1.5000");
    EXPECT_EQ(p.Text("peakDelay"), "240");
}

TEST(CAcquisitionView, HeldSpinButtonsStepFasterOnTheInjectedClock) {
    Pane p;
    QToolButton* up = p.Get<CSpinButtons>("peakDelaySpin").Up();
    // Each row: fake time passed since the previous step of the same hold, and the step then taken. A
    // repeated press while the button stays down is what Qt's auto-repeat delivers.
    const struct {
        int afterMs, step;
    } hold[] = {{0, 1}, {3999, 1}, {1, 10}, {2000, 100}, {1999, 100}, {1, 1000}};
    int expected = p.sim.session.acquisition.timing[AcquisitionPanel::kPeakDelay];
    for (const auto& row : hold) {
        p.sim.loop.Advance(row.afterMs);
        QTest::mousePress(up, Qt::LeftButton);
        expected += row.step;
        EXPECT_EQ(p.Text("peakDelay").toInt(), expected) << "after " << row.afterMs << " ms";
    }
    QTest::mouseRelease(up, Qt::LeftButton);
    p.sim.loop.Advance(9000);
    // A new hold starts with steps of 1 again.
    QTest::mousePress(p.Get<CSpinButtons>("peakDelaySpin").Down(), Qt::LeftButton);
    EXPECT_EQ(p.Text("peakDelay").toInt(), expected - 1);
    QTest::mouseRelease(p.Get<CSpinButtons>("peakDelaySpin").Down(), Qt::LeftButton);
    EXPECT_EQ(p.sim.session.acquisition.timing[AcquisitionPanel::kPeakDelay], expected - 1);
}

TEST(CAcquisitionView, SoftSizesDriveBothRecordsAndHardStaysDisabled) {
    Pane p;
    Spectra& spectra = p.sim.session.spectra;
    spectra.file.SetShown(true);
    EXPECT_FALSE(p.Get<QComboBox>("hard").isEnabled());
    p.Choose("soft", 2); // 5461
    EXPECT_EQ(spectra.buffer.BinningFactor(), 3);
    EXPECT_EQ(spectra.file.BinningFactor(), 3);
    EXPECT_EQ(p.Get<QComboBox>("soft").currentText(), "5461");

    p.sim.session.acquisition.ShowSizes(4096, 4096);
    p.view.Refresh();
    EXPECT_EQ(p.Get<QComboBox>("hard").currentText(), "4096");
    p.Choose("soft", 1); // 8192, above the hard size
    EXPECT_EQ(p.Get<QComboBox>("soft").currentText(), "4096");
}

TEST(CAcquisitionView, TheConditionGroupIsLaidOutPerPlatform) {
    Pane p;
    AnalyzerSession& s = p.sim.session;
    const char* veluskOnly[] = {"biasLabel", "bias", "coolingLabel", "cooling", "coolingScale"};
    s.identity.Apply(PlatformCommand::Velusk, s.spectra.buffer);
    p.view.Refresh();
    EXPECT_EQ(p.Get<QLabel>("detectorLabel").text(), "Detector Temp [C]");
    for (const char* name : veluskOnly)
        EXPECT_TRUE(p.Shown(name)) << name;
    test::Snapshot(p.view, "acquisition");

    s.identity.Apply(PlatformCommand::Kiramo, s.spectra.buffer);
    p.view.Refresh();
    EXPECT_EQ(p.Get<QLabel>("detectorLabel").text(), "INPUT D [V]");
    for (const char* name : veluskOnly)
        EXPECT_FALSE(p.Shown(name)) << name;
    EXPECT_TRUE(p.Shown("detector"));
}

TEST(CAcquisitionView, StartStopAndTimeStampFollowThePanelRules) {
    Pane p;
    struct State {
        bool start, stop, timeStamp;
    };
    auto expect = [&](State want, const char* when) {
        p.view.Refresh();
        EXPECT_EQ(p.Get<QPushButton>("start").isEnabled(), want.start) << when;
        EXPECT_EQ(p.Get<QPushButton>("stop").isEnabled(), want.stop) << when;
        EXPECT_EQ(p.Get<QPushButton>("timeStamp").isEnabled(), want.timeStamp) << when;
    };
    expect({false, false, true}, "closed link");
    p.Click("timeStamp");
    EXPECT_EQ(p.sim.host.dialogs, std::vector<DialogKind>{DialogKind::TimeStamp});

    p.sim.Connect();
    expect({true, false, true}, "idle device");
    p.Click("start");
    ASSERT_TRUE(p.sim.Run([&] { return p.Image().Bit(16, 0); }));
    expect({false, true, false}, "running device");
    p.Click("stop");
    ASSERT_TRUE(p.sim.Run([&] { return !p.Image().Bit(16, 0); }));
    expect({true, false, true}, "stopped device");
}

TEST(CAcquisitionView, ALoggerSeriesStartedFromThePaneWritesItsFiles) {
    SimulatorOptions options;
    options.countRate = 5000;
    Pane p(options);
    const test::TempDir dir;
    p.sim.loop.SetUtc(2026, 6, 1, 8, 0, 1);
    p.sim.Connect();
    p.view.Refresh();
    p.Type("presetSeconds", "2");
    p.Type("runs", "3");
    p.sim.host.folderAnswer = dir.Path();
    p.Click("folderButton");
    ASSERT_EQ(p.sim.host.folderTitles.size(), 1u);
    EXPECT_EQ(p.sim.host.folderTitles[0].substr(0, 14), "Select Folder|");
    EXPECT_EQ(p.Text("folder").toStdString(), dir.Path() + "/");
    p.Type("base", "run");
    p.Click("enable");
    ASSERT_TRUE(p.Get<QCheckBox>("enable").isChecked()) << p.sim.host.Texts().size() << " messages";
    EXPECT_EQ(p.Get<QCheckBox>("enable").text(), "   ENABLE");

    p.Click("start");
    ASSERT_TRUE(p.sim.Run([&] { return !p.sim.session.logger.enabled; }, 20000));
    p.view.Refresh();
    EXPECT_EQ(p.Text("completed"), "3");
    EXPECT_FALSE(p.Get<QCheckBox>("enable").isChecked());
    for (int run = 1; run <= 3; ++run)
        EXPECT_TRUE(std::filesystem::exists(dir.Path() + "/run_000" + std::to_string(run) + ".qxs")) << run;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/run_0004.qxs"));
}

} // namespace
} // namespace orvane
