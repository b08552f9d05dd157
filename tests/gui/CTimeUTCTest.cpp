#include "timesvc/ui/CTimeUTC.h"

#include "gui/GuiTestSupport.h"
#include "shell/SystemClock.h"
#include "shell/ui/ExtentListView.h"
#include "shell/ui/QtHost.h"
#include "shell/ui/QtPoster.h"
#include "support/ChronyServer.h"
#include "support/SntpResponder.h"
#include "timesvc/TimeStampDialogModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace orvane {
namespace {

// Never the machine's clock.
class RecordingClockSetter : public SystemClockSetter {
public:
    bool SetUtc(std::int64_t utcMs) override {
        calls.push_back(utcMs);
        return true;
    }
    std::vector<std::int64_t> calls;
};

const QString kDashes76(76, QLatin1Char('-'));

class TimeStampDialog : public ::testing::Test {
protected:
    QPushButton& Button(const char* name) { return *dialog.findChild<QPushButton*>(name); }
    ExtentListView& Report() { return *dialog.findChild<ExtentListView*>("report"); }
    // The user types a server into the box and presses "Get UTC" (or Enter in the box).
    void AskServer(const std::string& server, bool byEnter = false) {
        QLineEdit* edit = dialog.findChild<QComboBox*>("server")->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromStdString(server));
        if (byEnter)
            QTest::keyClick(edit, Qt::Key_Return);
        else
            QTest::mouseClick(&Button("getUtc"), Qt::LeftButton);
    }
    bool WaitForReport() {
        return test::SpinUntil([&] { return !model.QueryRunning(); }, 10000);
    }

    QtPoster poster;
    SystemClock clock;
    TimeSourceState state{clock};
    RecordingClockSetter setter;
    TimeStampDialogModel model{poster, clock, state, setter};
    CTimeUTC dialog{model};
};

TEST_F(TimeStampDialog, GetUtcFromChronyOnLoopbackReportsTheExchangeAndEnablesUseUtc) {
    test::ChronyServer chrony;
    if (!chrony.Installed())
        GTEST_SKIP() << "chronyd is not installed: " << chrony.Why();
    ASSERT_TRUE(chrony.Running()) << chrony.Why();
    dialog.show();
    EXPECT_FALSE(Button("useUtc").isEnabled());
    EXPECT_FALSE(Button("synchronize").isEnabled());

    AskServer(chrony.Address());
    ASSERT_TRUE(WaitForReport());
    ASSERT_EQ(Report().LineCount(), 8);
    EXPECT_EQ(Report().LineText(0),
              "UTC Succesfully Retreived from: " + QString::fromStdString(chrony.Address()));
    const char* labels[] = {"This SYSTEM Originate Timestamp: ", "NTP Server Receive Timestamp:     ",
                            "NTP Server Transmit Timestamp:    ", "This SYSTEM Destination Timestamp: "};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Report().LineText(1 + i).startsWith(labels[i])) << Report().LineText(1 + i).toStdString();
        EXPECT_EQ(Report().LineText(1 + i).size(), qsizetype(std::strlen(labels[i]) + 24));
    }
    EXPECT_TRUE(Report().LineText(5).startsWith("SYSTEM-NTP-SYSTEM Delay: "));
    EXPECT_TRUE(Report().LineText(6).startsWith("SYSTEM/LOCAL Clock Offset: "));
    EXPECT_EQ(Report().LineText(7), kDashes76);
    EXPECT_EQ(Report().Extent(), model.Report().Extent());
    const QFontMetrics metrics(Report().font());
    for (int i = 0; i < Report().LineCount(); ++i)
        EXPECT_LE(metrics.horizontalAdvance(Report().LineText(i)), Report().Extent()) << "line " << i;
    EXPECT_TRUE(Button("useUtc").isEnabled());
    EXPECT_TRUE(Button("synchronize").isEnabled());

    // chrony serves this machine's own clock, well within the hour: the (recorded) clock is set once.
    QTest::mouseClick(&Button("synchronize"), Qt::LeftButton);
    EXPECT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(Report().LineText(8), "System time successfully synchronised");
    EXPECT_EQ(Report().LineText(9), QString(54, QLatin1Char('-')));
    test::Snapshot(dialog, "time-stamp");

    QTest::mouseClick(&Button("useUtc"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(state.Source(), TimeSource::Utc);
    EXPECT_FALSE(state.AskBeforeStart());
}

TEST_F(TimeStampDialog, EnterAsksTheServerAndASilentOneGivesTheFailureLine) {
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    model.SetQueryTimeout(200);
    dialog.show();
    AskServer(silent.Address(), true);
    ASSERT_TRUE(WaitForReport());
    ASSERT_EQ(Report().LineCount(), 2);
    EXPECT_EQ(Report().LineText(0),
              "Failed to retreive time from: " + QString::fromStdString(silent.Address()));
    EXPECT_EQ(Report().LineText(1), kDashes76);
    EXPECT_FALSE(Button("useUtc").isEnabled());
    EXPECT_FALSE(Button("synchronize").isEnabled());
    EXPECT_TRUE(Button("getUtc").isEnabled());
    QTest::mouseClick(&Button("useUtc"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible()) << "a disabled Use UTC chooses nothing";
}

TEST_F(TimeStampDialog, WhileAQueryRunsTheDialogStaysLiveAndEscapeSelectsSystem) {
    state.Choose(TimeSource::Local);
    state.RequireChoice();
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    dialog.show();
    AskServer(silent.Address()); // five seconds before it would give up
    ASSERT_TRUE(model.QueryRunning());
    EXPECT_FALSE(Button("getUtc").isEnabled());
    EXPECT_FALSE(Button("useUtc").isEnabled());
    QCoreApplication::processEvents();

    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(model.QueryRunning()) << "the choice ended the query";
    EXPECT_EQ(state.Source(), TimeSource::System);
    EXPECT_EQ(state.Correction(), 0.0);
    EXPECT_FALSE(state.AskBeforeStart());
    EXPECT_EQ(Report().LineCount(), 0) << "a cancelled query reports nothing";
}

TEST(TimeStampDialogThroughTheHost, OpensOnTheFirstPresetServerAndUseLocalChoosesLocal) {
    QtPoster poster;
    SystemClock clock;
    TimeSourceState state(clock);
    RecordingClockSetter setter;
    QtHost host;
    host.SetDialog(DialogKind::TimeStamp, [&] { RunTimeStampDialog(nullptr, poster, clock, state, setter); });
    QStringList servers;
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* box = dialog->findChild<QComboBox*>("server");
        for (int i = 0; i < box->count(); ++i)
            servers << box->itemText(i);
        servers << box->currentText();
        QTest::mouseClick(dialog->findChild<QPushButton*>("useLocal"), Qt::LeftButton);
    });
    host.RunDialog(DialogKind::TimeStamp);
    EXPECT_EQ(title, "Measurement Time Stamp");
    EXPECT_EQ(servers, QStringList({"pool.ntp.org", "time.nist.gov", "pool.ntp.org"}));
    EXPECT_EQ(state.Source(), TimeSource::Local);
    EXPECT_FALSE(state.AskBeforeStart());
}

} // namespace
} // namespace orvane
