#include "shell/ui/CMainFrame.h"

#include "analysis/ui/CCalibrationView.h"
#include "analysis/ui/CSpectrumInfoView.h"
#include "analysis/ui/CSpectrumWnd.h"
#include "device/ui/CComPortDlg.h"
#include "device/ui/CFindComPort.h"
#include "panels/ui/CAcquisitionView.h"
#include "session/ParameterMap.h"
#include "shell/ui/COutputWnd.h"
#include "shell/ui/LogindSleepWatcher.h"
#include "timesvc/ui/CTimeUTC.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

namespace orvane {

CMainFrame::CMainFrame(PortEnumerator& ports, const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), clock_(SystemClock::Instance()), host_(this), store_(settingsFile),
      persistence_(store_), settings_(persistence_, *this), session_(poster_, clock_, host_, store_),
      ports_(ports) {
    setWindowTitle("Orvane-MCA");
    setDockNestingEnabled(true);
    settings_.LoadTheme();
    settings_.ApplyTheme();
    session_.SetViews(this);
    host_.SetDialog(DialogKind::TimeStamp,
                    [this] { RunTimeStampDialog(this, poster_, clock_, session_.time, clockSetter_); });
    roiField_ = new QLabel(this);
    cursorField_ = new QLabel(this);
    BuildPanes();
    BuildMenus();
    BuildToolbars();
    BuildKeys();
    statusBar()->showMessage("Ready");
    roiField_->setMinimumWidth(fontMetrics().horizontalAdvance("ROI 1234567:1234567 WIDTH: 1234567") + 12);
    cursorField_->setMinimumWidth(fontMetrics().horizontalAdvance("CURSOR: 1234567  COUNTS: 1234567") + 12);
    statusBar()->addPermanentWidget(roiField_);
    statusBar()->addPermanentWidget(cursorField_);
    LoadSettings();
    connect(&linkTimer_, &QTimer::timeout, this, [this] { session_.link.OnLinkTimer(); });
    sleep_ = new LogindSleepWatcher([this](std::function<void()> ready) { Suspend(std::move(ready)); },
                                    [this] { settings_.ApplyTheme(); }, this);
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    linkTimer_.stop();
    session_.SetViews(nullptr);
}

QAction* CMainFrame::Action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddAction(QMenu* menu, const QString& name, const QString& text,
                               std::function<void()> run) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
        run();
        UpdateCommands();
    });
    if (menu)
        menu->addAction(action);
    actions_[name] = action;
    return action;
}

// "Status text\nTooltip", as the command table gives them.
void CMainFrame::Describe(QAction* action, const QString& tipPair) {
    const int cut = tipPair.indexOf('\n');
    action->setStatusTip(tipPair.left(cut));
    action->setToolTip(cut < 0 ? tipPair : tipPair.mid(cut + 1));
    // Toolbar buttons show the short name, not the menu caption with its shortcut text.
    action->setIconText(action->toolTip().trimmed());
}

void CMainFrame::BuildPanes() {
    auto dock = [this](const QString& caption, const QString& name, QWidget* widget,
                       Qt::DockWidgetArea area) {
        auto* d = new QDockWidget(caption, this);
        d->setObjectName(name);
        d->setWidget(widget);
        addDockWidget(area, d);
        docks_[name] = d;
        return d;
    };
    spectrum_ = new CSpectrumWnd(session_.spectra, this);
    QDockWidget* spectrumDock = dock("Spectrum", "SpectrumPane", spectrum_, Qt::LeftDockWidgetArea);
    session_.log.SetWidthFunction(COutputWnd::ListTextWidth());
    events_ = new COutputWnd(session_.log, this);
    QDockWidget* eventsDock = dock("Events", "EventsPane", events_, Qt::BottomDockWidgetArea);
    info_ = new CSpectrumInfoView(session_.info, session_.calibration, this);
    QDockWidget* infoDock = dock("Spectrum Info", "SpectrumInfoPane", info_, Qt::RightDockWidgetArea);
    acquisition_ = new CAcquisitionView(session_, host_, clock_, this);
    QDockWidget* acquisitionDock =
        dock("ACQUISITION", "AcquisitionPane", acquisition_, Qt::RightDockWidgetArea);
    calibration_ = new CCalibrationView(session_.calibration, this);
    QDockWidget* calibrationDock =
        dock("Calibration", "CalibrationPane", calibration_, Qt::RightDockWidgetArea);
    tabifyDockWidget(infoDock, acquisitionDock);
    tabifyDockWidget(acquisitionDock, calibrationDock);
    infoDock->raise();
    calibration_->onCalibrationChanged = [this] {
        info_->Update(*session_.spectra.active);
        spectrum_->RedrawAll();
    };
    info_->onCalibrationToggled = [this] { calibration_->Refresh(); }; // "CAL" mirrors "ENABLE CALIBRATION"
    setCentralWidget(nullptr);
    // The factory layout: the spectrum takes the room, the figures beside it, the log below.
    resizeDocks({spectrumDock, infoDock}, {900, 320}, Qt::Horizontal);
    resizeDocks({eventsDock}, {140}, Qt::Vertical);

    connect(spectrum_, &CSpectrumWnd::activeChanged, this, [this](CSpectrum*) {
        acquisition_->Refresh();
        calibration_->Refresh();
        UpdateCommands();
    });
    connect(spectrum_, &CSpectrumWnd::cursorMoved, this, [this] { info_->Update(*session_.spectra.active); });
    connect(spectrum_, &CSpectrumWnd::cursorStatusChanged, this,
            [this](const QString& text) { cursorField_->setText(text); });
    connect(spectrum_, &CSpectrumWnd::roiStatusChanged, this,
            [this](const QString& text) { roiField_->setText(text); });
    connect(spectrum_, &CSpectrumWnd::plotFocused, this, [this](CSpectrum* record) {
        session_.acquisition.ShowSizes(record->HardSize(), record->SoftSize());
    });
    session_.calibration.requestFullRedraw = [this] { spectrum_->RedrawAll(); };
}

void CMainFrame::BuildMenus() {
    BuildFileMenu();
    BuildEditAndViewMenus();
    BuildHardwareMenu();
    BuildSpectrumMenu();
    QMenu* help = menuBar()->addMenu("&Help");
    Describe(AddAction(help, "About", "&About OrvaneMCA...", [this] { ShowAbout(); }),
             "About Orvane-MCA\nAbout");
}

void CMainFrame::BuildFileMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    Describe(AddAction(file, "Open", "&Open Spectrum", [this] { OpenSpectrum(); }),
             "Open Spectrum File\nOpen");
    Describe(
        AddAction(file, "Save", "&Save Spectrum As...",
                  [this] { session_.saveOrExport.Run(SpectrumFileCommand::Save, *session_.spectra.active); }),
        "Save Spectrum File\nSave");
    QMenu* exports = file->addMenu("&Export Spectrum To...");
    struct Export {
        const char *menu, *entry, *name;
        SpectrumFileCommand command;
    } entries[] = {{"CSV File", "Hard Size", "CsvHard", SpectrumFileCommand::CsvHard},
                   {"CSV File", "Soft Size", "CsvSoft", SpectrumFileCommand::CsvSoft},
                   {"CHN File", "Hard Size", "ChnHard", SpectrumFileCommand::ChnHard},
                   {"CHN File", "Soft Size", "ChnSoft", SpectrumFileCommand::ChnSoft}};
    std::map<QString, QMenu*> kinds;
    for (const Export& e : entries) {
        QMenu*& kind = kinds[e.menu];
        if (!kind)
            kind = exports->addMenu(e.menu);
        const SpectrumFileCommand command = e.command;
        AddAction(kind, e.name, e.entry, [this, command] {
            session_.saveOrExport.Run(command, *session_.spectra.active);
            spectrum_->RedrawAll();
        });
    }
    file->addSeparator();
    Describe(AddAction(file, "Exit", "E&xit", [this] { close(); }),
             "Quit the application; prompts to save documents\nExit");
}

void CMainFrame::BuildEditAndViewMenus() {
    QMenu* edit = menuBar()->addMenu("&Edit");
    QMenu* copy = edit->addMenu("Copy Spectrum");
    AddAction(copy, "CopySpectrum", "Spectrum", [this] { CopySpectrum(false); });
    AddAction(copy, "CopyWindow", "Window", [this] { CopySpectrum(true); });

    QMenu* view = menuBar()->addMenu("&View");
    panesMenu_ = view->addMenu("&Toolbars and  Windows");
    for (const auto& [name, d] : docks_)
        panesMenu_->addAction(d->toggleViewAction());
    QAction* status = AddAction(view, "StatusBar", "&Status Bar",
                                [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    status->setCheckable(true);
    status->setChecked(true);
    Describe(status, "Show or hide the status bar\nToggle Status Bar");
    QMenu* look = view->addMenu("&Application Look");
    QMenu* more = nullptr;
    auto* themes = new QActionGroup(this);
    for (const auto& item : settings_.ThemeMenu()) {
        QMenu* where = look;
        if (item.inMoreStyles) {
            if (!more)
                more = look->addMenu("&More Styles");
            where = more;
        }
        const int id = item.id;
        QAction* a = AddAction(where, QString("Theme%1").arg(id), QString::fromStdString(item.caption),
                               [this, id] { settings_.ChooseTheme(id); });
        a->setCheckable(true);
        a->setChecked(item.checked);
        themes->addAction(a);
    }
    Describe(AddAction(view, "RestoreLayout", "Restore Layout", [this] { settings_.RestoreLayout(); }),
             "Restore Last Layout\nLast Application Layout");
    Describe(
        AddAction(view, "DefaultLayout", "Default  Layout", [this] { settings_.RestoreDefaultLayout(); }),
        "Default Layout\nDefault Application Layout");
}

void CMainFrame::BuildHardwareMenu() {
    QMenu* hw = menuBar()->addMenu("Hard&ware");
    QMenu* platform = hw->addMenu("Platfor&m\tCtrl+m");
    const std::pair<const char*, PlatformCommand> platforms[] = {{"Auto", PlatformCommand::Auto},
                                                                 {"Velusk", PlatformCommand::Velusk},
                                                                 {"Kiramo", PlatformCommand::Kiramo},
                                                                 {"Dravon", PlatformCommand::Dravon}};
    for (const auto& [caption, command] : platforms) {
        const PlatformCommand c = command;
        AddAction(platform, QString("Platform") + caption, caption, [this, c] {
            session_.commands.ChoosePlatform(c);
        })->setCheckable(true);
    }
    Describe(AddAction(hw, "Port", "&Port\tCtrl+P", [this] { Port(); }), "Communications Port\nPort");
    Describe(AddAction(hw, "AutoConnect", "&AutoConnect\tCtrl+A", [this] { AutoConnect(); }),
             "Auto Connect Hardware\nAuto Port");
    Describe(AddAction(hw, "Connect", "&Connect\tCtrl+C", [this] { Connect(); }),
             "Connect to Hardware\nConnect");
    Describe(AddAction(hw, "Disconnect", "&Disconnect\tCtrl+D", [this] { session_.link.Disconnect(); }),
             "Disconnect from Hardware\nDisconnect");
    QMenu* registers = hw->addMenu("Copy Registers");
    AddAction(registers, "RegistersBufferToFile", "Buffer to File",
              [this] { session_.commands.CopyRegistersBufferToFile(); });
    AddAction(registers, "RegistersFileToBuffer", "File to Buffer",
              [this] { session_.commands.CopyRegistersFileToBuffer(); });
    AddAction(hw, "AboutHardware", "About Hardware", [this] {
        const HardwareInfo info = AboutHardware(*session_.spectra.active, session_.link.Period().Us());
        host_.MessageBox(info.text, info.caption, MessageIcon::None, MessageButtons::Ok);
    });
    Describe(AddAction(nullptr, "Start", "Start", [this] { session_.acquisition.Start(); }),
             "Start Spectrum Acquisition\nStart");
    Describe(AddAction(nullptr, "Stop", "Stop", [this] { session_.acquisition.Stop(); }),
             "Stop Spectrum Acquisition\nStop");
    Describe(AddAction(nullptr, "Erase", "Erase", [this] { session_.acquisition.Reset(); }),
             "Erase Spectrum\nErase");
}

void CMainFrame::BuildSpectrumMenu() {
    QMenu* spectrum = menuBar()->addMenu("&Spectrum");
    QMenu* soft = spectrum->addMenu("&Soft Size");
    const auto& sizes = AcquisitionPanel::SoftSizes();
    for (int i = 0; i < static_cast<int>(sizes.size()); ++i)
        AddAction(soft, QString("Soft%1").arg(i), QString::number(sizes[static_cast<std::size_t>(i)]),
                  [this, i] { session_.commands.ChooseSoftSize(i); })
            ->setCheckable(true);
    AddAction(spectrum, "Color", "&Color", [this] { spectrum_->AdjustColours(); });
    QMenu* roi = spectrum->addMenu("&ROI Mode");
    AddAction(roi, "MarkOver", "Mark Over", [this] {
        spectrum_->SetRoiMode(RoiMode::MarkOver);
    })->setCheckable(true);
    AddAction(roi, "FromCursor", "From Cursor", [this] {
        spectrum_->SetRoiMode(RoiMode::FromCursor);
    })->setCheckable(true);
    QMenu* copyRoi = spectrum->addMenu("Copy ROI");
    AddAction(copyRoi, "RoiFileToBuffer", "File to Buffer", [this] {
        session_.commands.CopyRoiFileToBuffer();
        spectrum_->RedrawAll();
    });
    AddAction(copyRoi, "RoiBufferToFile", "Buffer to File", [this] {
        session_.commands.CopyRoiBufferToFile();
        spectrum_->RedrawAll();
    });
    QMenu* copyCal = spectrum->addMenu("Copy Calibration");
    AddAction(copyCal, "CalFileToBuffer", "File to Buffer", [this] {
        session_.commands.CopyCalibrationFileToBuffer();
        calibration_->Refresh();
    });
    AddAction(copyCal, "CalBufferToFile", "Buffer to File", [this] {
        session_.commands.CopyCalibrationBufferToFile();
        calibration_->Refresh();
    });
}

void CMainFrame::BuildToolbars() {
    auto bar = [this](const QString& caption, const QString& name) {
        QToolBar* t = addToolBar(caption);
        t->setObjectName(name);
        toolbars_.push_back(t);
        panesMenu_->addAction(t->toggleViewAction());
        return t;
    };
    QToolBar* standard = bar("Standard", "StandardBar");
    standard->addAction(Action("About"));
    standard->addSeparator();
    standard->addAction(Action("Open"));
    standard->addAction(Action("Save"));
    standard->addSeparator();
    standard->addAction(Action("RestoreLayout"));
    standard->addAction(Action("DefaultLayout"));

    QToolBar* hardware = bar("Hardware Control", "HardwareBar");
    for (const char* name :
         {"AutoConnect", "", "Port", "Connect", "Disconnect", "", "Erase", "Start", "Stop"}) {
        if (*name)
            hardware->addAction(Action(name));
        else
            hardware->addSeparator();
    }

    QToolBar* viewControl = bar("View Control", "ViewControlBar");
    struct PlotButton {
        const char* name;
        const char* tips;
        PlotCommand command;
        bool checkable;
    } buttons[] = {
        {"Linear", "Linear Vertical Scale\nLinear", PlotCommand::Linear, true},
        {"Log", "Logarithmic Vertical Scale\nLOG", PlotCommand::Logarithmic, true},
        {"AutoVertical", "Automatic Vertical Scale\nAuto Vertical", PlotCommand::AutoVertical, true},
        {"ExpandVertical", "Expand Vertical Scale\nExpand Vertical", PlotCommand::ExpandVertical, false},
        {"CompressVertical", "Compress Vertical Scale\nCompress Vertical", PlotCommand::CompressVertical,
         false},
        {"ExpandCursor", "Expand Arround Cursor\nExpand Cursor", PlotCommand::ExpandAroundCursor, false},
        {"CompressCursor", "Compress Arround Cursor\n Compress  Cursor", PlotCommand::CompressAroundCursor,
         false},
        {"ExpandLeft", "Expand From Left\nExpand Left", PlotCommand::ExpandFromLeft, false},
        {"CompressLeft", "Compress From Left\nCompress Left", PlotCommand::CompressFromLeft, false},
        {"FullSpectrum", "Show Full Spectrum\nFull Spectrum", PlotCommand::FullSpectrum, false},
    };
    for (const PlotButton& b : buttons) {
        const PlotCommand command = b.command;
        const QString tips = b.tips;
        QAction* a = AddAction(nullptr, b.name, tips.mid(tips.indexOf('\n') + 1).trimmed(),
                               [this, command] { spectrum_->RunCommand(command); });
        a->setCheckable(b.checkable);
        Describe(a, tips);
        viewControl->addAction(a);
    }
}

// The whole accelerator table; inside a text field the keys keep their editing meaning.
void CMainFrame::BuildKeys() {
    const std::pair<QKeySequence, QString> keys[] = {{QKeySequence("Ctrl+A"), "Start"},
                                                     {QKeySequence("Ctrl+S"), "Stop"},
                                                     {QKeySequence("Ctrl+Shift+D"), "Erase"},
                                                     {QKeySequence("Ctrl+C"), "CopyWindow"}};
    for (const auto& [key, name] : keys) {
        auto* shortcut = new QShortcut(key, this);
        QAction* action = Action(name);
        connect(shortcut, &QShortcut::activated, this, [action] {
            if (action->isEnabled())
                action->trigger();
        });
    }
}

void CMainFrame::LoadSettings() {
    const auto stored = persistence_.LoadColoursAndSpeed();
    if (stored.buffer)
        spectrum_->SetColours(session_.spectra.buffer, *stored.buffer);
    if (stored.file)
        spectrum_->SetColours(session_.spectra.file, *stored.file);
    if (stored.ioSpeed)
        session_.commands.SetIoSpeed(*stored.ioSpeed);
    settings_.LoadToolbarState();
    if (persistence_.LoadCalibration(session_.spectra.buffer))
        session_.calibration.ReloadCalibration();
    calibration_->Refresh();
    settings_.KeepFactoryLayout();
    settings_.LoadWindowPlacement();
    settings_.RestoreLayout();
}

void CMainFrame::UpdateCommands() {
    const auto& commands = session_.commands;
    const std::pair<const char*, Command> rules[] = {
        {"Port", Command::Port},
        {"AutoConnect", Command::AutoConnect},
        {"Connect", Command::Connect},
        {"Disconnect", Command::Disconnect},
        {"RegistersBufferToFile", Command::CopyRegistersBufferToFile},
        {"RegistersFileToBuffer", Command::CopyRegistersFileToBuffer},
        {"AboutHardware", Command::AboutHardware},
        {"Start", Command::Start},
        {"Stop", Command::Stop},
        {"Erase", Command::Erase},
    };
    for (const auto& [name, command] : rules)
        Action(name)->setEnabled(commands.Enabled(command));
    const std::pair<const char*, PlatformCommand> platforms[] = {{"PlatformAuto", PlatformCommand::Auto},
                                                                 {"PlatformVelusk", PlatformCommand::Velusk},
                                                                 {"PlatformKiramo", PlatformCommand::Kiramo},
                                                                 {"PlatformDravon", PlatformCommand::Dravon}};
    for (const auto& [name, command] : platforms)
        Action(name)->setChecked(commands.PlatformChecked(command));
    for (int i = 0; i < static_cast<int>(AcquisitionPanel::SoftSizes().size()); ++i)
        Action(QString("Soft%1").arg(i))->setChecked(commands.CheckedSoftSize() == i);
    Action("MarkOver")->setChecked(spectrum_->GetRoiMode() == RoiMode::MarkOver);
    Action("FromCursor")->setChecked(spectrum_->GetRoiMode() == RoiMode::FromCursor);
    Action("Linear")->setChecked(spectrum_->CommandChecked(PlotCommand::Linear));
    Action("Log")->setChecked(spectrum_->CommandChecked(PlotCommand::Logarithmic));
    Action("AutoVertical")->setChecked(spectrum_->CommandChecked(PlotCommand::AutoVertical));
}

void CMainFrame::OpenSpectrum() {
    FileDialogRequest request;
    request.title = "Open Spectrum File";
    request.filters = {"Orvane Spectrum (*.qxs)", "All Files (*)"};
    request.initialPath = session_.saveOrExport.RememberedPath();
    const auto path = host_.ChooseFile(request);
    if (!path)
        return;
    docks_["SpectrumPane"]->show();
    spectrum_->ShowRecord(session_.spectra.file);
    session_.OpenSpectrum(*path);
    spectrum_->RedrawAll();
    UpdateCommands();
}

void CMainFrame::Port() {
    if (!RunPortDialog(this, portSettings_, ports_, session_.commands.IoSpeed()))
        return;
    session_.commands.AcceptPortSettings(portSettings_);
}

void CMainFrame::AutoConnect() {
    session_.commands.PrepareAutoConnect();
    PortFinder finder(session_.link, ports_, session_.log, poster_);
    if (RunPortFinder(this, finder))
        session_.commands.AcceptFoundPort(finder);
}

void CMainFrame::CopySpectrum(bool wholeWindow) {
    QApplication::clipboard()->setImage(wholeWindow ? spectrum_->GrabWindow() : spectrum_->GrabSpectrum());
}

void CMainFrame::ShowAbout() {
    QMessageBox box(this);
    box.setWindowTitle("About Orvane-MCA");
    box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.setText("Orvane-MCA, Version 8.50");
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CMainFrame::OnConnected() {
    docks_["SpectrumPane"]->show();
    spectrum_->ShowRecord(session_.spectra.buffer);
    UpdateCommands();
}

void CMainFrame::OnReleased() {
    UpdateCommands();
    if (suspendReady_)
        std::exchange(suspendReady_, nullptr)();
}

void CMainFrame::OnRegistersRefreshed(bool) {
    info_->Refresh();
    acquisition_->Refresh();
}

void CMainFrame::OnAutoUpdateChanged(bool) {
    acquisition_->Refresh();
}

void CMainFrame::OnLinkTick() {
    spectrum_->Tick();
    acquisition_->Refresh();
    info_->Update(*session_.spectra.active);
    UpdateCommands();
}

void CMainFrame::Suspend(std::function<void()> ready) {
    session_.spectra.buffer.Image().SetSettled(false);
    session_.identity.SetAutoPlatform(true);
    if (!session_.link.PortOpen() && !session_.link.LinkOpen()) {
        ready();
        return;
    }
    suspendReady_ = std::move(ready);
    session_.link.ReleaseDevice();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstPaint_)
        return;
    firstPaint_ = false;
    spectrum_->ShowRecord(session_.spectra.buffer);
    linkTimer_.start(200);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    settings_.SaveAll(spectrum_->Colours(session_.spectra.buffer), spectrum_->Colours(session_.spectra.file),
                      session_.commands.IoSpeed(), session_.spectra.buffer);
    session_.link.ReleaseDevice();
    event->accept();
}

} // namespace orvane
