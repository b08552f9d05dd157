#include "session/SpectrumLogger.h"

#include "session/ParameterMap.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace orvane {

namespace {
constexpr const char* kCaption = "Orvane-MCA";
}

SpectrumLogger::SpectrumLogger(DeviceLink& link, Host& host, Poster& poster, const TimeSourceState& time)
    : link_(link), host_(host), poster_(poster), wait_(poster, time) {}

SpectrumLogger::~SpectrumLogger() {
    wait_.Cancel();
}

std::string SpectrumLogger::FileName(int run) const {
    char number[16];
    std::snprintf(number, sizeof number, "_%04d", run);
    return pathBase_ + number + ".qxs";
}

bool SpectrumLogger::Refuse(const std::string& text) {
    host_.MessageBox(text, kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    enabled = false;
    return false;
}

void SpectrumLogger::ClickEnable(bool checked) {
    const bool previous = enabled;
    enabled = checked;
    pathBase_ = folder + base;
    const bool refused = [&] {
        if (base.find_first_of("<>:\"/\\|?*") != std::string::npos)
            return !Refuse("INVALID FILE NAME!");
        if (!link_.Responding())
            return !Refuse("No device is connected. Please, connect/reconect!");
        if (!enabled)
            return false;
        if (base.empty() || folder.empty())
            return !Refuse("Please specify a storage folder and/or a file name base!");
        if (runs <= 0)
            return !Refuse("Please specify RUNS greater than zero!");
        if (panelRealTime_ && panelRealTime_() > 0.0)
            return !Refuse("Please clear current time and counts by pressing RESET button!");
        if (link_.RunningFlag())
            return !Refuse("Please stop current spectrum acquisition\nbefore enabling the spectrum logging!");
        return false;
    }();
    if (refused || !enabled || enabled == previous) {
        link_.SetLoggerPhase(0);
        link_.SetLoggerRunning(false);
        Changed();
        return;
    }
    // Whether the series would overwrite files: a plain existence test, never an open.
    struct stat info {};
    if (::stat(FileName(1).c_str(), &info) != 0) {
        completed = 0;
    } else if (host_.MessageBox(
                   "LOGGING DATA WITH THIS FILE NAME ALREADY EXISTS.\nDO YOU WANT TO OVERWRITE THE "
                   "LOGGING FILES?",
                   "Warning", MessageIcon::Stop, MessageButtons::OkCancel) == kAnswerOk) {
        completed = 0;
    } else {
        enabled = false;
    }
    Changed();
}

void SpectrumLogger::ClickFolder() {
    if (link_.LoggerRunning()) {
        host_.MessageBox(
            "A storage folder can not be selected while the SPECTRUM LOGGER records spectra.\nPlease "
            "uncheck ENABLE to select a new folder!",
            kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    const char* home = std::getenv("HOME");
    std::string chosen;
    if (host_.ChooseFolder("Select Folder", home ? home : "/", chosen))
        folder = chosen;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    Changed();
}

bool SpectrumLogger::OnRunEnded() {
    if (completed >= runs)
        return false;
    link_.SetLoggerPhase(3);
    link_.ReadSpectrumChunk();
    const RegisterImage& image = link_.Records().buffer.Image();
    const double periodUs = link_.Period().Us();
    if (runEndedTimes_)
        runEndedTimes_(RealTimeSeconds(image, periodUs), LiveTimeSeconds(image, periodUs));
    return true;
}

void SpectrumLogger::OnHalfStored() {
    if (link_.LoggerPhase() == 2 && enabled) {
        ++completed;
        if (completed == runs) {
            link_.SetLoggerRunning(false);
            enabled = false;
            link_.SetLoggerPhase(0);
        } else {
            // The next run starts cleared, as RESET would leave it.
            RegisterImage& image = link_.Records().buffer.Image();
            std::uint16_t& control = image.Bank1()[reg::kControl];
            control = static_cast<std::uint16_t>((control & ~0x0013u) | 0x0024u);
            link_.WriteRunControl();
        }
        // A failed save is reported by the writer; the series goes on regardless.
        if (save_)
            save_(link_.Records().buffer, FileName(completed));
        Changed();
    }
    if (link_.LoggerPhase() != 0)
        link_.SetLoggerPhase(link_.LoggerPhase() - 1);
}

void SpectrumLogger::OnRestartWriteDone() {
    link_.SetLoggerPhase(0);
    RegisterImage& image = link_.Records().buffer.Image();
    std::uint16_t& control = image.Bank1()[reg::kControl];
    control = static_cast<std::uint16_t>((control & ~0x0024u) | 0x0013u);
    // The next run starts on the beginning of an even second of the time source.
    wait_.Start([this](const StartTimeStamp& stamp) {
        RegisterImage& img = link_.Records().buffer.Image();
        img.Bank1()[reg::kStartDate] = img.Bank0()[reg::kStartDate] = stamp.DateWord();
        img.Bank1()[reg::kStartTime] = img.Bank0()[reg::kStartTime] = stamp.TimeWord();
        link_.WriteRunControl();
        if (startText_)
            startText_(stamp.Text());
        Changed();
    });
}

} // namespace orvane
