#include "device/ui/CComPortDlg.h"
#include "device/ui/CFindComPort.h"

#include "device/ComPortSettings.h"
#include "device/PortNames.h"
#include "gui/GuiTestSupport.h"
#include "session/PortFinder.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"
#include "support/ScriptedHost.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace orvane {
namespace {

// Lists exactly the ports the test gives it: never a real serial port.
struct ListedPorts : PortEnumerator {
    std::vector<SSerInfo> Enumerate(std::string& error) override {
        error = failure;
        return ports;
    }
    std::vector<SSerInfo> ports;
    std::string failure;
};

QPushButton* ButtonOf(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// ---- "Port" ----

TEST(PortDialog, NormalHandsBack460800AndIndex1) {
    ListedPorts ports;
    ports.ports = {{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART (ttyUSB0)", true, "FT232R USB UART"},
                   {"/dev/pts/7", "SIM0", "Orvane Simulated Instrument (SIM0)", false, ""}};
    ComPortSettings settings;
    settings.ChoosePort(1);
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Port");
        auto* list = dialog->findChild<QComboBox*>("port");
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->currentText(), "Orvane Simulated Instrument (SIM0)") << "the port chosen last time";
        auto* fast = dialog->findChild<QRadioButton*>("fast");
        EXPECT_TRUE(fast->isChecked()) << "the window's IO speed";
        auto* baud = dialog->findChild<QComboBox*>("baud");
        EXPECT_FALSE(baud->isVisible());
        EXPECT_FALSE(baud->isEnabled());
        QTest::mouseClick(dialog->findChild<QRadioButton*>("normal"), Qt::LeftButton);
        EXPECT_EQ(baud->currentText(), "460800");
        test::Snapshot(*dialog, "port");
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        answered = true;
    });
    ASSERT_TRUE(RunPortDialog(nullptr, settings, ports, ComPortSettings::kFast));
    ASSERT_TRUE(answered);
    EXPECT_EQ(settings.BaudText(), "460800");
    EXPECT_EQ(settings.Speed(), 1);
    EXPECT_EQ(settings.BaudIndex(), 1);
    EXPECT_EQ(settings.DevicePath(), "/dev/pts/7");
    EXPECT_EQ(settings.SetPortLine(), "Set port: /dev/pts/7; NORMAL SPEED");
    EXPECT_EQ(settings.handshakeIndex, 1) << "the hidden lists keep their selections";
}

TEST(PortDialog, DroppingTheListOpenEnumeratesAgainAndCancelKeepsTheSettings) {
    ListedPorts ports;
    ports.ports = {{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART (ttyUSB0)", true, ""}};
    ComPortSettings settings;
    CComPortDlg dialog(settings, ports, 7, nullptr); // an out-of-range speed is clamped
    dialog.show();
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("normal")->isChecked());
    auto* list = dialog.findChild<QComboBox*>("port");
    ASSERT_EQ(list->count(), 1);

    ports.ports.insert(ports.ports.begin(), {"/dev/ttyACM0", "ttyACM0", "Modem (ttyACM0)", true, ""});
    ports.failure = "Could not list the serial ports: udev unavailable";
    list->showPopup();
    list->hidePopup();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentText(), "FT232R USB UART (ttyUSB0)") << "the chosen port stays chosen";
    auto* error = dialog.findChild<QLabel*>("portError");
    EXPECT_TRUE(error->isVisible());
    EXPECT_EQ(error->text(), QString::fromStdString(ports.failure));

    // The dialog shows the second port at NORMAL; Escape keeps none of it.
    ASSERT_EQ(list->currentIndex(), 1);
    ASSERT_TRUE(dialog.findChild<QRadioButton*>("normal")->isChecked());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(settings.PortIndex(), 0);
    EXPECT_EQ(settings.Speed(), ComPortSettings::kFast) << "as before the dialog opened";
    EXPECT_EQ(settings.DevicePath(), "");
    EXPECT_EQ(settings.BaudText(), "921600");
}

// ---- "Orvane Port Finder" against simulated instruments on ptys ----

class FinderDialog : public ::testing::Test {
protected:
    FinderDialog()
        : log(loop, nullptr), identity(loop), link(spectra, log, loop, host, identity),
          finder(link, ports, log, loop) {}
    ~FinderDialog() override { link.Port().ClosePort(); }

    void AddInstrument(std::uint16_t serial, const std::string& name) {
        SimulatorOptions options;
        options.serialNumber = serial;
        lines.push_back(std::make_unique<test::SimulatedLine>(loop, options));
        ports.ports.push_back(
            {lines.back()->Path(), name, "Orvane Simulated Instrument (" + name + ")", false, ""});
    }
    // One step of the window's life: fake time for the finder's waits, real time for the replies.
    void Pump() {
        loop.Advance(100);
        link.OnLinkTimer();
        loop.RunFor(1);
        QCoreApplication::processEvents();
    }
    bool PumpUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i)
            Pump();
        return done();
    }

    test::FakeLoop loop;
    OutputLog log;
    test::ScriptedHost host;
    Spectra spectra;
    DeviceIdentity identity;
    DeviceLink link;
    ListedPorts ports;
    PortFinder finder;
    std::vector<std::unique_ptr<test::SimulatedLine>> lines;
};

TEST_F(FinderDialog, OneInstrumentIsFoundAtTheFirstPaintAndTheDialogClosesByItselfWithOk) {
    AddInstrument(4711, "SIM0");
    struct Seen {
        bool searching = false, progressShown = false, buttonsDisabled = false, closeRefused = false;
        QString message;
    } seen;
    int steps = 0;
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && finder.Searching() && !seen.searching) {
            seen.searching = true;
            seen.message = dialog->findChild<QLabel*>("message")->text();
            seen.progressShown = dialog->findChild<QProgressBar*>("progress")->isVisible() &&
                                 !dialog->findChild<QListWidget*>("port")->isVisible();
            seen.buttonsDisabled = !ButtonOf(*dialog, "FIND")->isEnabled() &&
                                   !ButtonOf(*dialog, "OK")->isEnabled() &&
                                   !ButtonOf(*dialog, "Cancel")->isEnabled();
            test::Snapshot(*dialog, "port-finder-searching");
            QTest::keyClick(dialog, Qt::Key_Escape);
            dialog->close();
            seen.closeRefused = dialog->isVisible();
        }
        if (++steps > 3000 && dialog)
            dialog->done(QDialog::Rejected); // a hung search fails the test instead of hanging it
        loop.Advance(100);
        link.OnLinkTimer();
        loop.RunFor(1);
    });
    pump.start(0);
    const bool ok = RunPortFinder(nullptr, finder);
    pump.stop();

    ASSERT_TRUE(ok);
    EXPECT_TRUE(seen.searching) << "the search started without FIND";
    EXPECT_EQ(seen.message, "SEARCHING...  PLEASE WAIT!");
    EXPECT_TRUE(seen.progressShown);
    EXPECT_TRUE(seen.buttonsDisabled);
    EXPECT_TRUE(seen.closeRefused) << "neither Escape nor the close button ends a search";
    EXPECT_EQ(finder.Found(),
              std::vector<std::string>{"Orvane Simulated Instrument (SIM0)(FAST)->SN: 04711"});
    EXPECT_EQ(finder.ChosenDevicePath(), lines[0]->Path());
    EXPECT_EQ(finder.ChosenBaud(), 921600u);

    // What the window does after the OK: connect to the port found.
    link.SetPort(finder.ChosenDevicePath(), PortNameFromText(finder.Found()[0]), finder.ChosenBaud());
    link.ConnectDevice();
    EXPECT_TRUE(PumpUntil([&] { return link.Responding(); }));
}

TEST_F(FinderDialog, TwoInstrumentsWaitForTheUsersChoice) {
    AddInstrument(1, "SIM0");
    AddInstrument(2, "SIM1");
    CFindComPort dialog(finder);
    dialog.show();
    ASSERT_TRUE(PumpUntil([&] { return finder.FoundCount() >= 0 && !finder.Searching(); }));
    EXPECT_TRUE(dialog.isVisible());
    auto* list = dialog.findChild<QListWidget*>("port");
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(dialog.findChild<QLabel*>("message")->text(),
              "Found multiple Orvane devices... Please, select port and press OK.");
    test::Snapshot(dialog, "port-finder-two");

    // A double click on an entry is its choice and OK.
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(finder.ChosenDevicePath(), lines[1]->Path());
    EXPECT_EQ(finder.ChosenBaud(), 921600u);
}

TEST_F(FinderDialog, NoPortsEndsAtOnceWithOkDisabled) {
    CFindComPort dialog(finder);
    dialog.show();
    ASSERT_TRUE(PumpUntil([&] { return !finder.Message().empty() && !finder.Searching(); }));
    EXPECT_EQ(dialog.findChild<QLabel*>("message")->text(),
              "No Orvane devices were found... Please, reconnect the device and press FIND.");
    EXPECT_FALSE(ButtonOf(dialog, "OK")->isEnabled());
    EXPECT_TRUE(ButtonOf(dialog, "FIND")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QProgressBar*>("progress")->isVisible());
    EXPECT_EQ(dialog.findChild<QProgressBar*>("progress")->value(), 0);
    test::Snapshot(dialog, "port-finder-none");

    // A new FIND searches again; Cancel then closes without a choice.
    const auto before = log.Lines().size();
    QTest::mouseClick(ButtonOf(dialog, "FIND"), Qt::LeftButton);
    EXPECT_EQ(log.Lines().size(), before + 2) << "Find Timer Started, Find Timer Stopped";
    QTest::mouseClick(ButtonOf(dialog, "Cancel"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace orvane
