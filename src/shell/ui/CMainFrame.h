#pragma once

#include "device/ComPortSettings.h"
#include "device/SSerInfo.h"
#include "shell/AnalyzerSession.h"
#include "shell/SettingsPersistence.h"
#include "shell/SystemClock.h"
#include "shell/ui/MainWindowSettings.h"
#include "shell/ui/QtHost.h"
#include "shell/ui/QtPoster.h"
#include "shell/ui/QtSettingsStore.h"
#include "timesvc/RealtimeClockSetter.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace orvane {

class CAcquisitionView;
class CCalibrationView;
class COutputWnd;
class CSpectrumInfoView;
class CSpectrumWnd;
class LogindSleepWatcher;

// The analyzer's one window: it owns the session, lays out the panes, binds menus, toolbars and keys to
// the session's commands and re-evaluates their enable and check rules. It decides nothing the core
// decides.
class CMainFrame : public QMainWindow, public DeviceLinkListener {
    Q_OBJECT
public:
    // ports: where Port, AutoConnect and the finder look (the machine's ports, or only the simulated
    // instrument in the demo).
    CMainFrame(PortEnumerator& ports, const QString& settingsFile, QWidget* parent = nullptr);
    ~CMainFrame() override;

    AnalyzerSession& Session() { return session_; }
    QtHost& Host() { return host_; }
    CSpectrumWnd* SpectrumPane() const { return spectrum_; }
    QAction* Action(const QString& name) const;
    // Every enable and check rule, evaluated now.
    void UpdateCommands();

    // The commands, as menus and keys run them.
    void OpenSpectrum();
    void Port();
    void AutoConnect();
    void Connect() { session_.link.ConnectDevice(); }
    void CopySpectrum(bool wholeWindow);

    // DeviceLinkListener: the views follow the session.
    void OnConnected() override;
    void OnReleased() override;
    void OnRegistersRefreshed(bool loggerRunning) override;
    void OnLinkTick() override;
    void OnAutoUpdateChanged(bool on) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddAction(QMenu* menu, const QString& name, const QString& text, std::function<void()> run);
    void Describe(QAction* action, const QString& tipPair);
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditAndViewMenus();
    void BuildHardwareMenu();
    void BuildSpectrumMenu();
    void BuildToolbars();
    void BuildPanes();
    void BuildKeys();
    void LoadSettings();
    void ShowAbout();
    void Suspend(std::function<void()> ready);

    QtPoster poster_;
    SystemClock& clock_;
    QtHost host_;
    QtSettingsStore store_;
    SettingsPersistence persistence_;
    MainWindowSettings settings_;
    AnalyzerSession session_;
    PortEnumerator& ports_;
    ComPortSettings portSettings_;
    RealtimeClockSetter clockSetter_;

    CSpectrumWnd* spectrum_ = nullptr;
    COutputWnd* events_ = nullptr;
    CSpectrumInfoView* info_ = nullptr;
    CAcquisitionView* acquisition_ = nullptr;
    CCalibrationView* calibration_ = nullptr;
    std::map<QString, QDockWidget*> docks_;
    std::map<QString, QAction*> actions_;
    std::vector<QToolBar*> toolbars_;
    QMenu* panesMenu_ = nullptr;
    QLabel* roiField_ = nullptr;
    QLabel* cursorField_ = nullptr;
    QTimer linkTimer_;
    bool firstPaint_ = true;
    LogindSleepWatcher* sleep_ = nullptr;
    std::function<void()> suspendReady_;
};

} // namespace orvane
