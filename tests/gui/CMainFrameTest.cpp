#include "shell/ui/CMainFrame.h"
#include "analysis/ui/CSpectrumWnd.h"
#include "gui/GuiTestSupport.h"
#include "simulator/SimulatedPorts.h"
#include "spectrum/ui/CDialogTag.h"
#include "support/PtyFixture.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace orvane {
namespace {

// The window with the simulated instrument as its only port, settings in a private folder.
class Window {
public:
    Window() : line(SystemClock::Instance()) {
        ports.Add("SIM0", line.Path());
        frame = std::make_unique<CMainFrame>(ports, QString::fromStdString(dir.File("settings.ini")));
        frame->Session().link.SetPort(line.Path(), "SIM0", 921600);
        frame->show();
        EXPECT_TRUE(test::SpinUntil([&] { return frame->isVisible(); }));
    }
    bool Enabled(const char* name) const { return frame->Action(name)->isEnabled(); }

    test::TempDir dir;
    test::SimulatedLine line;
    SimulatedPorts ports;
    std::unique_ptr<CMainFrame> frame;
};

// Answers the next modal dialog of type T, as a user would, once it is on the screen.
template <typename T> void AnswerNext(std::function<void(T&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(20);
}

// Types the name into the chooser's file-name field and presses Enter.
void TypeFileName(QFileDialog& dialog, const std::string& path) {
    auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(field, nullptr);
    field->setText(QString::fromStdString(path));
    QTest::keyClick(field, Qt::Key_Return);
}

TEST(CMainFrame, WithTheFileSpectrumShownTheHardwareCommandsAreOff) {
    Window w;
    w.frame->UpdateCommands();
    EXPECT_TRUE(w.Enabled("Connect"));
    EXPECT_TRUE(w.Enabled("Port"));
    w.frame->SpectrumPane()->ShowRecord(w.frame->Session().spectra.file);
    w.frame->UpdateCommands();
    for (const char* name : {"Connect", "Disconnect", "Port", "AutoConnect", "Start", "Stop", "Erase"})
        EXPECT_FALSE(w.Enabled(name)) << name;
}

TEST(CMainFrame, CtrlCCopiesTheSpectrumWindowAndDoesNotConnect) {
    Window w;
    QApplication::clipboard()->clear();
    w.frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
    QTest::keyClick(w.frame.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(QApplication::clipboard()->image().isNull());
    test::SpinUntil([] { return false; }, 300);
    EXPECT_FALSE(w.frame->Session().link.PortOpen());
    EXPECT_EQ(w.line.Simulator().FramesReceived(), 0u);
}

TEST(CMainFrame, ConnectStartStopSaveAndOpenTheFile) {
    Window w;
    AnalyzerSession& s = w.frame->Session();
    w.frame->Connect();
    ASSERT_TRUE(test::SpinUntil([&] { return s.link.Responding(); }));
    s.time.Choose(TimeSource::System); // as the time-stamp dialog's Use SYSTEM
    w.frame->UpdateCommands();
    ASSERT_TRUE(w.Enabled("Start"));
    w.frame->Action("Start")->trigger();
    auto counts = [&] {
        std::uint64_t total = 0;
        for (std::uint32_t c : s.spectra.buffer.HardCounts())
            total += c;
        return total;
    };
    ASSERT_TRUE(test::SpinUntil([&] { return counts() > 500; }, 10000));
    w.frame->UpdateCommands();
    ASSERT_TRUE(w.Enabled("Stop"));
    w.frame->Action("Stop")->trigger();
    ASSERT_TRUE(test::SpinUntil([&] { return (w.line.Simulator().Instrument().Register(16) & 1) == 0; }));

    const std::string path = w.dir.File("run7");
    AnswerNext<QFileDialog>([path](QFileDialog& d) { TypeFileName(d, path); });
    AnswerNext<CDialogTag>([](CDialogTag& d) {
        d.Field()->setText("Cs-137 check");
        d.accept();
    });
    w.frame->Action("Save")->trigger();
    ASSERT_TRUE(std::filesystem::exists(path + ".qxs")) << [&] {
        std::string names;
        for (const auto& e : std::filesystem::directory_iterator(w.dir.Path()))
            names += e.path().string() + " ";
        for (const auto& m : w.frame->Session().log.Lines())
            names += "| " + m.text;
        return names;
    }();

    AnswerNext<QFileDialog>([path](QFileDialog& d) { TypeFileName(d, path + ".qxs"); });
    w.frame->Action("Open")->trigger();
    EXPECT_EQ(s.spectra.active, &s.spectra.file);
    EXPECT_EQ(s.spectra.file.Tag(), "Cs-137 check");
    EXPECT_GT(s.spectra.file.HardCounts()[6620] + s.spectra.file.HardCounts()[6621], 0u);
    for (const char* name : {"Disconnect", "Port", "Start", "Stop", "Erase"})
        EXPECT_FALSE(w.Enabled(name)) << name;
    test::Snapshot(*w.frame, "main-frame-file");
}

TEST(CMainFrame, TheAboutBoxShowsVersion850) {
    Window w;
    QString text;
    AnswerNext<QMessageBox>([&text](QMessageBox& box) {
        text = box.text();
        box.accept();
    });
    w.frame->Action("About")->trigger();
    EXPECT_EQ(text, "Orvane-MCA, Version 8.50");
}

} // namespace
} // namespace orvane
