#pragma once

#include "analysis/CalibrationModel.h"
#include "analysis/SpectrumInfoModel.h"
#include "analysis/StabilizerWindows.h"
#include "firmware/FpgaCommand.h"
#include "panels/AcquisitionPanel.h"
#include "session/DeviceIdentity.h"
#include "session/DeviceLink.h"
#include "session/SpectrumLogger.h"
#include "shell/Host.h"
#include "shell/OutputLog.h"
#include "shell/SettingsStore.h"
#include "shell/ShellCommands.h"
#include "spectrum/SaveOrExport.h"
#include "spectrum/SpectrumExporter.h"
#include "spectrum/SpectrumFileReader.h"
#include "spectrum/SpectrumFileWriter.h"
#include "timesvc/TimeSourceState.h"

#include <functional>

namespace orvane {

// Everything long-lived the analyzer owns, wired together as the window needs it but without widgets:
// the records, the device link, the panels' models, the commands. The window adds views; the
// command-line programs and the tests use it as it is.
class AnalyzerSession : public DeviceLinkListener, public SpectrumObserver {
public:
    AnalyzerSession(Poster& poster, const Clock& clock, Host& host, SettingsStore& settings);
    ~AnalyzerSession() override;

    OutputLog log;
    Spectra spectra;
    SpectrumFileWriter writer;
    SpectrumFileReader reader;
    SpectrumExporter exporter;
    SaveOrExport saveOrExport;
    DeviceIdentity identity;
    DeviceLink link;
    TimeSourceState time;
    SpectrumLogger logger;
    AcquisitionPanel acquisition;
    CalibrationModel calibration;
    SpectrumInfoModel info;
    StabilizerWindows stabilizer;
    ShellCommands commands;
    FpgaCommand fpga;

    // The window's part of the session's notifications (views to refresh); may stay unset.
    void SetViews(DeviceLinkListener* views) { views_ = views; }
    // Shows a record's tab (making it the active one) and hides the other.
    void ShowRecord(CSpectrum& record);
    // "Open Spectrum": the file into the file spectrum, which is then shown and active.
    bool OpenSpectrum(const std::string& path);

    // DeviceLinkListener
    void OnConnectReset() override;
    void OnPanelsReset() override;
    void OnConnected() override;
    void OnReleased() override;
    void OnRegistersRefreshed(bool loggerRunning) override;
    void OnRegistersWritten() override;
    void OnTraceCaptured(bool runButtonReset) override;
    void OnAutoUpdateChanged(bool on) override;
    void OnLoggerEnableCleared() override;
    void OnLinkTick() override;

    // SpectrumObserver
    void OnActivated(CSpectrum& record) override;
    void OnSizesChanged(CSpectrum& record) override;
    void OnCalibrationReplaced(CSpectrum& record) override;

private:
    DeviceLinkListener* views_ = nullptr;
};

} // namespace orvane
