#include "spectrum/SpectrumFileWriter.h"

#include "session/AcquisitionFigures.h"
#include "session/DeviceIdentity.h"
#include "session/ParameterMap.h"
#include "shell/Host.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumFileText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace orvane {

namespace {

template <typename... Args> void AppendF(std::string& out, const char* format, Args... args) {
    char line[400];
    const int n = std::snprintf(line, sizeof line, format, args...);
    if (n > 0)
        out.append(line, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof line - 1));
}

void AppendUnsignedLine(std::string& out, std::uint32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
    out.push_back('\n');
}

// "%s" stops at a NUL.
std::string CText(const std::string& text) {
    return std::string(text.c_str());
}

} // namespace

SpectrumFileWriter::SpectrumFileWriter(Host& host, FileIo& io) : host_(host), io_(io) {}

std::string SpectrumFileWriter::RootName(const CSpectrum& record) {
    return ModelName(record.PlatformCode(), record.SpFlag(), record.Image().Get(reg::kPlatform));
}

std::string SpectrumFileWriter::Format(const CSpectrum& s) {
    const std::string root = RootName(s);
    const Readings& r = s.GetReadings();
    const AcquisitionFigures figures = ComputeAcquisitionFigures(s.Image());
    const int hard = s.HardSize();
    std::string out;
    out.reserve(static_cast<std::size_t>(hard) * 11 + 4096);

    out += "<?xml version=\"1.0\"?>\n";
    out += "<" + root + ">\n";
    AppendF(out, " <serialnumber>%05u</serialnumber>\n", static_cast<unsigned>(r.serialNumber));
    out += "<spectrum>\n";
    out += "  <tag>" + CText(s.Tag()) + "</tag>\n";
    AppendF(out, "  <hardsize>%d</hardsize>\n", hard);
    AppendF(out, "  <softsize>%d</softsize>\n", s.SoftSize());
    out += "  <data>\n";
    for (int h = 0; h < hard; ++h) {
        const auto k = static_cast<std::size_t>(h);
        if (s.HardMarks()[k])
            out.push_back('+');
        AppendUnsignedLine(out, s.HardCounts()[k]);
    }
    out += "  </data>\n";
    out += "</spectrum>\n";

    out += "<time>\n";
    AppendF(out, "  <real>%10.4f</real>\n", figures.realSeconds);
    AppendF(out, "  <live>%10.4f</live>\n", figures.liveSeconds);
    AppendF(out, "  <dead>%10.4f</dead>\n", figures.deadPercent);
    out += "  <date>" + figures.startText + "</date>\n";
    out += "</time>\n";

    out += "<registers>\n";
    AppendF(out, "  <size>%d</size>\n", RegisterImage::kRegisters);
    out += "  <data>\n";
    for (int k = 0; k < RegisterImage::kRegisters; ++k)
        AppendUnsignedLine(out, s.Image().Get(k));
    out += "  </data>\n";
    out += "</registers>\n";

    const CalibrationSet& cal = s.StoredCalibration(s.SelectedInput());
    out += "<calibration>\n";
    out += cal.enabled ? "  <enabled>YES</enabled>\n" : "  <enabled>NO</enabled>\n";
    AppendF(out, "  <units>%d</units>\n", cal.units);
    const int points = std::clamp(cal.count, 0, CalibrationSet::kMaxPoints);
    for (int i = 0; i < points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const char letter = static_cast<char>('A' + i);
        AppendF(out, "  <channel%c>%10.4f</channel%c>\n", letter, cal.channel[k], letter);
        AppendF(out, "  <energy%c>%10.4f</energy%c>\n", letter, cal.energy[k], letter);
        AppendF(out, "  <use%c>%d</use%c>\n", letter, cal.use[k], letter);
    }
    out += cal.useAll ? "  <useall>YES</useall>\n" : "  <useall>NO</useall>\n";
    out += "</calibration>\n";

    out += "<volatile>\n";
    AppendF(out, "  <firmware>%5.2f</firmware>\n", r.firmwareVersion / 100.0);
    AppendF(out, "  <intemp>%d</intemp>\n", static_cast<int>(r.internalTemperature));
    if (s.PlatformCode() == kPlatformVelusk) {
        AppendF(out, "  <adctemp>%5.2f</adctemp>\n", r.adcTemperature);
        AppendF(out, "  <bias>%d</bias>\n", static_cast<int>(r.bias));
        AppendF(out, "  <cpwr>%d</cpwr>\n", static_cast<int>(r.coolingPercent));
    } else {
        // The opening tag has always been spelt this way; the reader accepts it.
        AppendF(out, "  <slowadvc>%5.2f</slowadc>\n", r.adcTemperature);
    }
    out += "</" + root + ">\n";
    return out;
}

bool SpectrumFileWriter::Save(CSpectrum& record, const std::string& path) {
    record.AssignSizes(std::clamp(record.HardSize(), CSpectrum::kMinSize, CSpectrum::kChannels),
                       record.SoftSize());
    SafeFileWriter file(path, io_);
    if (!file.Open()) {
        host_.MessageBox(spectrum_text::kUnableToSave, spectrum_text::kErrorCaption, MessageIcon::Stop,
                         MessageButtons::Ok);
        return false;
    }
    if (takeOverChecks_)
        takeOverChecks_();
    if (!file.Write(Format(record)) || !file.Commit()) {
        file.Abandon();
        host_.MessageBox(spectrum_text::kErrorWriting, spectrum_text::kErrorCaption, MessageIcon::Stop,
                         MessageButtons::Ok);
        return false;
    }
    return true;
}

} // namespace orvane
