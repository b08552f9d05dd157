#include "spectrum/SpectrumExporter.h"

#include "session/AcquisitionFigures.h"
#include "session/ParameterMap.h"
#include "shell/Host.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumFileText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace orvane {

namespace {

void ClampSizes(CSpectrum& record) {
    record.AssignSizes(std::clamp(record.HardSize(), CSpectrum::kMinSize, CSpectrum::kChannels),
                       std::clamp(record.SoftSize(), CSpectrum::kMinSize, CSpectrum::kChannels));
}

// " UTC", " SYSTEM" or " LOCAL": the label after its first ":" (the whole label when it has none).
std::string LabelKind(const std::string& label) {
    const std::size_t colon = label.find(':');
    return colon == std::string::npos ? label : label.substr(colon + 1);
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Seconds in units of 20 ms, truncated, kept inside the field.
std::int32_t TwentyMsUnits(double seconds) {
    const double units = std::trunc(seconds * 50.0);
    if (std::isnan(units))
        return 0;
    if (units >= 2147483647.0)
        return 2147483647;
    if (units <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<std::int32_t>(units);
}

// printf into exactly `width` bytes of the header.
template <typename... Args>
void PutText(std::string& out, std::size_t width, const char* format, Args... args) {
    char text[32];
    std::snprintf(text, sizeof text, format, args...);
    out.append(text, width);
}

} // namespace

SpectrumExporter::SpectrumExporter(Host& host, FileIo& io) : host_(host), io_(io) {}

const char* SpectrumExporter::MonthName(int month) {
    static const char* const names[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return month >= 1 && month <= 12 ? names[month - 1] : "???";
}

std::string SpectrumExporter::FormatCsv(const CSpectrum& s, bool hardSize) {
    const int n = hardSize ? s.HardSize() : s.SoftSize();
    const auto& counts = hardSize ? s.HardCounts() : s.SoftCounts();
    const AcquisitionFigures figures = ComputeAcquisitionFigures(s.Image());
    const std::string kind = LabelKind(figures.startLabel);
    const std::size_t space = figures.startText.find(' ');
    const std::string date = figures.startText.substr(0, space);
    const std::string time = space == std::string::npos ? "" : figures.startText.substr(space + 1);

    std::string out;
    out.reserve(static_cast<std::size_t>(n) * 14 + 512);
    out += "Exported Spectrum\n";
    out += "Date [dd/mm/yyyy]," + kind + "," + date + "\n";
    out += "Time [hh:mm:ss]," + kind + "," + time + "\n";
    out += "TAG," + std::string(s.Tag().c_str()) + "\n";
    char line[400];
    std::snprintf(line, sizeof line, "Real Time[s], %10.4f\n", figures.realSeconds);
    out += line;
    std::snprintf(line, sizeof line, "Live Time[s], %10.4f\n\n", figures.liveSeconds);
    out += line;
    out += "Channel, Counts\n";
    char digits[16];
    for (int i = 0; i < n; ++i) {
        char* end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        out.append(digits, static_cast<std::size_t>(end - digits));
        out += ", ";
        end = std::to_chars(digits, digits + sizeof digits, counts[static_cast<std::size_t>(i)]).ptr;
        out.append(digits, static_cast<std::size_t>(end - digits));
        out.push_back('\n');
    }
    return out;
}

std::string SpectrumExporter::FormatChn(const CSpectrum& s, bool hardSize) {
    const int n = hardSize ? s.HardSize() : s.SoftSize();
    const auto& counts = hardSize ? s.HardCounts() : s.SoftCounts();
    const AcquisitionFigures figures = ComputeAcquisitionFigures(s.Image());
    const StartStamp stamp = DecodeStamp(s.Image().Get(reg::kStartDate), s.Image().Get(reg::kStartTime));

    std::string out;
    out.reserve(32 + 4 * static_cast<std::size_t>(n));
    PutLe(out, static_cast<std::uint16_t>(-1), 2); // file type
    PutLe(out, 1, 2);                              // MCA number
    PutLe(out, 0, 2);                              // segment
    PutText(out, 2, "%02d", stamp.second);
    PutLe(out, static_cast<std::uint32_t>(TwentyMsUnits(figures.realSeconds)), 4);
    PutLe(out, static_cast<std::uint32_t>(TwentyMsUnits(figures.liveSeconds)), 4);
    PutText(out, 2, "%02d", stamp.day);
    out += MonthName(stamp.month);
    char year[16];
    std::snprintf(year, sizeof year, "%04d", stamp.year);
    out.append(year + std::strlen(year) - 2, 2);
    out += "1";
    PutText(out, 4, "%02d%02d", stamp.hour, stamp.minute);
    PutLe(out, 0, 2); // first channel
    PutLe(out, static_cast<std::uint16_t>(n), 2);
    for (int i = 0; i < n; ++i)
        PutLe(out, counts[static_cast<std::size_t>(i)], 4);
    return out;
}

bool SpectrumExporter::Write(const std::string& path, const std::string& bytes, const char* openFailure) {
    const SafeWriteResult result = WriteFileSafely(path, bytes, io_);
    if (result == SafeWriteResult::Ok)
        return true;
    host_.MessageBox(result == SafeWriteResult::CannotOpen ? openFailure : spectrum_text::kErrorWriting,
                     spectrum_text::kErrorCaption, MessageIcon::Stop, MessageButtons::Ok);
    return false;
}

bool SpectrumExporter::ExportCsv(CSpectrum& record, const std::string& path, bool hardSize) {
    ClampSizes(record);
    return Write(path, FormatCsv(record, hardSize), spectrum_text::kUnableToSave);
}

bool SpectrumExporter::ExportChn(CSpectrum& record, const std::string& path, bool hardSize) {
    ClampSizes(record);
    return Write(path, FormatChn(record, hardSize), spectrum_text::kUnableToExport);
}

} // namespace orvane
