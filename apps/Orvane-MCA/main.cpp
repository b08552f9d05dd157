// The analyzer window. With --simulate it starts a simulated instrument inside the program and lists it
// as the only port, so the demo never touches real hardware.
#include "device/UdevPortEnumerator.h"
#include "shell/SettingsPersistence.h"
#include "shell/SystemClock.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/QtSettingsStore.h"
#include "simulator/PtySimulator.h"
#include "simulator/SimulatedPorts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvane-MCA");
    QApplication::setApplicationVersion("8.50");
    // Numbers in files and panes use the C conventions, whatever the user's locale says.
    std::setlocale(LC_NUMERIC, "C");

    QCommandLineParser parser;
    parser.setApplicationDescription("Orvane-MCA: host software for Orvane multichannel analyzers.");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption simulate("simulate",
                                "Run with a simulated instrument inside the program as the only port.");
    QCommandLineOption connect("connect", "Connect at start (with --simulate: to the simulated instrument).");
    QCommandLineOption start("start", "With --connect: start a run (system time) once connected.");
    QCommandLineOption screenshot("screenshot", "Save a picture of the window to FILE and quit.", "FILE");
    QCommandLineOption after("after", "Milliseconds before --screenshot is taken (default 4000).", "MS",
                             "4000");
    parser.addOption(simulate);
    parser.addOption(connect);
    parser.addOption(start);
    parser.addOption(screenshot);
    parser.addOption(after);
    parser.process(app);

    orvane::UdevPortEnumerator machinePorts;
    orvane::SimulatedPorts simulatedPorts;
    std::unique_ptr<orvane::PtySimulator> simulator;
    orvane::PortEnumerator* ports = &machinePorts;
    if (parser.isSet(simulate)) {
        orvane::SimulatorOptions options;
        simulator = std::make_unique<orvane::PtySimulator>(orvane::SystemClock::Instance(), options);
        if (const int error = simulator->Start()) {
            std::fprintf(stderr, "Orvane-MCA: cannot start the simulated instrument (%d)\n", error);
            return 1;
        }
        simulatedPorts.Add("SIM0", simulator->DevicePath());
        ports = &simulatedPorts;
    }

    orvane::CMainFrame frame(*ports,
                             orvane::QtSettingsStore::FileForRoot(orvane::SettingsPersistence::kRoot));
    if (simulator) {
        frame.Session().link.SetPort(simulator->DevicePath(), "SIM0", 921600);
        frame.setWindowTitle("Orvane-MCA");
    }
    frame.resize(1280, 820);
    frame.show();
    if (parser.isSet(connect))
        frame.Connect();
    if (parser.isSet(start)) {
        frame.Session().time.Choose(orvane::TimeSource::System);
        auto* poll = new QTimer(&frame);
        QObject::connect(poll, &QTimer::timeout, &frame, [&frame, poll] {
            if (!frame.Session().link.Responding())
                return;
            poll->stop();
            frame.Session().acquisition.Start();
        });
        poll->start(100);
    }
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(parser.value(after).toInt(), &frame, [&frame, file] {
            frame.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
