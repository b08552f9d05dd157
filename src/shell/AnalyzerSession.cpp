#include "shell/AnalyzerSession.h"

namespace orvane {

AnalyzerSession::AnalyzerSession(Poster& poster, const Clock& clock, Host& host, SettingsStore& settings)
    : log(clock, nullptr), writer(host), reader(host, &log), exporter(host),
      saveOrExport(host, writer, exporter), identity(poster), link(spectra, log, poster, host, identity),
      time(clock), logger(link, host, poster, time),
      acquisition(spectra, link, identity, time, logger, log, host, poster), calibration(host),
      stabilizer(host, StabilizerWindows::Link{
                           [this] { return link.LinkOpen(); }, [this] { return link.Responding(); },
                           [this] { return link.LoggerRunning(); }, [this] { link.WriteParameters(); }}),
      commands(spectra, link, identity, acquisition, log, host), fpga(link, host, poster, clock, settings) {
    identity.SetActiveSpectrumSource([this] { return spectra.active; });
    link.SetListener(this);
    link.SetLoggerHooks(&logger);
    logger.SetPanelRealTime([this] { return acquisition.realTime; });
    logger.SetRunEndedTimes([this](double real, double live) {
        acquisition.realTime = real;
        acquisition.liveTime = live;
    });
    logger.SetStartText([this](const std::string& text) { acquisition.startText = text; });
    fpga.SetRefreshPanels([this] { acquisition.Refresh(); });
    logger.SetSaver([this](CSpectrum& record, const std::string& path) { return writer.Save(record, path); });
    writer.SetCalibrationChecksHook([this] { calibration.ApplyCheckMarks(); });
    spectra.buffer.SetObserver(this);
    spectra.file.SetObserver(this);
    acquisition.SetReady();
    calibration.SetActive(spectra.active);
}

AnalyzerSession::~AnalyzerSession() {
    link.SetListener(nullptr);
    spectra.buffer.SetObserver(nullptr);
    spectra.file.SetObserver(nullptr);
}

void AnalyzerSession::ShowRecord(CSpectrum& record) {
    CSpectrum& other = &record == &spectra.buffer ? spectra.file : spectra.buffer;
    other.SetShown(false);
    record.SetShown(true);
}

bool AnalyzerSession::OpenSpectrum(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    ShowRecord(spectra.file);
    const bool loaded = reader.Load(spectra.file, path, name);
    spectra.file.Activate();
    return loaded;
}

void AnalyzerSession::OnConnectReset() {
    time.RequireChoice();
    if (views_)
        views_->OnConnectReset();
}

void AnalyzerSession::OnPanelsReset() {
    if (views_)
        views_->OnPanelsReset();
}

void AnalyzerSession::OnConnected() {
    ShowRecord(spectra.buffer);
    if (views_)
        views_->OnConnected();
}

void AnalyzerSession::OnReleased() {
    if (views_)
        views_->OnReleased();
}

void AnalyzerSession::OnRegistersRefreshed(bool loggerRunning) {
    acquisition.Refresh();
    info.UpdateTimesAndRates(spectra.active->Image());
    if (views_)
        views_->OnRegistersRefreshed(loggerRunning);
}

void AnalyzerSession::OnRegistersWritten() {
    if (views_)
        views_->OnRegistersWritten();
}

void AnalyzerSession::OnTraceCaptured(bool runButtonReset) {
    if (views_)
        views_->OnTraceCaptured(runButtonReset);
}

void AnalyzerSession::OnAutoUpdateChanged(bool on) {
    if (views_)
        views_->OnAutoUpdateChanged(on);
}

void AnalyzerSession::OnLoggerEnableCleared() {
    logger.enabled = false;
    if (views_)
        views_->OnLoggerEnableCleared();
}

void AnalyzerSession::OnLinkTick() {
    if (views_)
        views_->OnLinkTick();
}

void AnalyzerSession::OnActivated(CSpectrum& record) {
    spectra.active = &record;
    calibration.SetActive(&record);
    calibration.ReloadCalibration();
    acquisition.ShowSizes(record.HardSize(), record.SoftSize());
    link.DerivePeriod();
    acquisition.Refresh();
    info.UpdateTimesAndRates(record.Image());
}

void AnalyzerSession::OnSizesChanged(CSpectrum& record) {
    acquisition.ShowSizes(record.HardSize(), record.SoftSize());
}

void AnalyzerSession::OnCalibrationReplaced(CSpectrum& record) {
    calibration.SetActive(&record);
    calibration.ReloadCalibration();
}

} // namespace orvane
