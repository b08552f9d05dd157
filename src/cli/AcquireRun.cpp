#include "cli/AcquireRun.h"

#include "spectrum/SafeFileWriter.h"

namespace orvane {

namespace {
constexpr std::int64_t kClearTimeoutMs = 10000;
// The start waits up to two seconds for an even second; the end is seen within a poll cycle.
constexpr std::int64_t kRunMarginMs = 15000;
} // namespace

AcquireRun::AcquireRun(CliSession& session, std::ostream& out, std::ostream& err)
    : session_(session), out_(out), err_(err) {
    session_.SetWatcher(this);
}

AcquireRun::~AcquireRun() {
    session_.SetWatcher(nullptr);
}

std::int64_t AcquireRun::RunTimeoutMs(const AcquireSettings& settings) {
    const std::int64_t presetMs = static_cast<std::int64_t>(settings.presetSeconds) * 1000;
    return (settings.live ? 2 * presetMs : presetMs) + kRunMarginMs;
}

void AcquireRun::Fail(const char* why) {
    session_.PrintLog(err_);
    err_ << "orvane acquire: " << why;
    if (session_.HungUp())
        err_ << " (the line hung up)";
    else if (session_.Released())
        err_ << " (the instrument was released)";
    err_ << "\n";
}

bool AcquireRun::WaitFor(Phase phase, std::int64_t timeoutMs, const char* failure) {
    if (session_.RunUntil([&] { return phase_ == phase; }, timeoutMs))
        return true;
    Fail(failure);
    return false;
}

bool AcquireRun::Clear(const AcquireSettings& settings) {
    AcquisitionPanel& panel = session_.Session().acquisition;
    panel.OnPresetMode(settings.live ? 1 : 0);
    panel.OnPresetText(std::to_string(settings.presetSeconds));
    if (session_.Link().RunningFlag())
        panel.Stop();
    // RESET leaves the image unsettled until its write is sent, so the next read-back that reaches
    // the session is already the cleared instrument's.
    phase_ = Phase::Clearing;
    panel.Reset();
    return WaitFor(Phase::Cleared, kClearTimeoutMs, "the instrument was not cleared");
}

bool AcquireRun::RunOnce(const AcquireSettings& settings) {
    phase_ = Phase::Starting;
    session_.Session().acquisition.Start();
    if (!WaitFor(Phase::Ended, RunTimeoutMs(settings), "the run did not end"))
        return false;
    // The window's Save As: the chooser answers with -o, the name rule adds ".qxs", an existing file is
    // asked about (OK only with --force) and the cancelled tag dialog leaves the start time as the tag.
    session_.MessageHost().AnswerFileChooser(settings.output);
    AnalyzerSession& analyzer = session_.Session();
    if (!analyzer.saveOrExport.Run(SpectrumFileCommand::Save, analyzer.spectra.buffer)) {
        err_ << "orvane acquire: the spectrum was not saved\n";
        return false;
    }
    out_ << analyzer.saveOrExport.RememberedPath() << "\n";
    return true;
}

bool AcquireRun::RunSeries(const AcquireSettings& settings) {
    AnalyzerSession& analyzer = session_.Session();
    SpectrumLogger& logger = analyzer.logger;
    phase_ = Phase::Idle;
    logger.runs = settings.runs;
    logger.folder = settings.folder;
    if (!logger.folder.empty() && logger.folder.back() != '/')
        logger.folder += '/';
    logger.base = settings.base;
    logger.ClickEnable(true);
    if (!logger.enabled) {
        err_ << "orvane acquire: the spectrum logger was not enabled";
        if (!settings.force && PathExists(logger.FileName(1)))
            err_ << " (--force overwrites the series)";
        err_ << "\n";
        return false;
    }
    const int messages = session_.MessageHost().Messages();
    analyzer.acquisition.Start();
    const std::int64_t timeoutMs = RunTimeoutMs(settings) * settings.runs;
    const bool switchedOff = session_.RunUntil([&] { return !logger.enabled; }, timeoutMs);
    if (!switchedOff || logger.completed < logger.runs) {
        if (logger.enabled)
            logger.ClickEnable(false);
        Fail("the series did not finish");
        return false;
    }
    for (int run = 1; run <= logger.completed; ++run)
        out_ << logger.FileName(run) << "\n";
    // The writer reports a file it could not save through a message, and the series went on.
    if (session_.MessageHost().Messages() != messages) {
        err_ << "orvane acquire: not every file of the series was saved\n";
        return false;
    }
    return true;
}

void AcquireRun::OnRegistersRefreshed(bool) {
    const bool running = session_.Link().RunningFlag();
    const AcquisitionPanel& panel = session_.Session().acquisition;
    switch (phase_) {
    case Phase::Clearing:
        if (!running && panel.realTime == 0.0)
            phase_ = Phase::Cleared;
        break;
    case Phase::Starting:
        // A read-back reaches the session only once the stamped START has gone out.
        if (running) {
            phase_ = Phase::Running;
        } else if (!panel.StartPending() && panel.realTime > 0.0) {
            phase_ = Phase::Settling; // over before a read-back caught it running
            endRefresh_ = session_.Refreshes();
        }
        break;
    case Phase::Running:
        if (!running) {
            phase_ = Phase::Settling;
            endRefresh_ = session_.Refreshes();
        }
        break;
    case Phase::Settling:
        if (session_.Refreshes() - endRefresh_ >= kSettlingRefreshes)
            phase_ = Phase::Ended;
        break;
    default:
        break;
    }
}

} // namespace orvane
