#include "cli/FileCommands.h"

#include "cli/CliArguments.h"
#include "cli/CliHost.h"
#include "cli/CliSpectrum.h"
#include "cli/JsonWriter.h"
#include "panels/RegisterDebugPanel.h"
#include "session/AcquisitionFigures.h"
#include "session/DeviceIdentity.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumExporter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace orvane {

namespace {

constexpr const char* kInfoUsage = "Usage: orvane info FILE\n";
constexpr const char* kExportUsage =
    "Usage: orvane export FILE (--csv|--chn) (--hard|--soft [--soft-size N]) -o OUT [--force]\n";
constexpr const char* kRegfileUsage = "Usage: orvane regfile FILE\n";

int BadArguments(std::ostream& err, const std::string& command, const std::string& reason,
                 const char* usage) {
    err << "orvane " << command << ": " << reason << "\n" << usage;
    return 2;
}

// The one FILE argument, or the reason it is missing.
bool SingleFile(const CliArguments& parsed, std::string& file, std::string& reason) {
    if (!parsed.Ok()) {
        reason = parsed.Error();
        return false;
    }
    if (parsed.Positional().size() != 1) {
        reason = parsed.Positional().empty() ? "FILE is required" : "only one FILE is taken";
        return false;
    }
    file = parsed.Positional()[0];
    return true;
}

void WriteCalibration(JsonWriter& json, const CalibrationSet& set) {
    json.BeginObject();
    json.Key("a").Double(set.a);
    json.Key("b").Double(set.b);
    json.Key("c").Double(set.c);
    json.Key("enabled").Bool(set.enabled != 0);
    json.Key("units").Int(set.units);
    json.Key("unitName").String(CalibrationUnitName(set.units));
    json.Key("useAll").Bool(set.useAll != 0);
    json.Key("count").Int(set.count);
    json.Key("points").BeginArray();
    const int points = std::clamp(set.count, 0, CalibrationSet::kMaxPoints);
    for (int i = 0; i < points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        json.BeginObject();
        json.Key("channel").Double(set.channel[k]);
        json.Key("energy").Double(set.energy[k]);
        json.Key("use").Int(set.use[k]);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

template <typename Array> void WriteNumbers(JsonWriter& json, const Array& values, int count) {
    json.BeginArray();
    for (int i = 0; i < count; ++i)
        json.Unsigned(values[static_cast<std::size_t>(i)]);
    json.EndArray();
}

std::string RecordJson(const std::string& file, CSpectrum& s) {
    const Readings& r = s.GetReadings();
    JsonWriter json;
    json.BeginObject();
    json.Key("file").String(file);
    json.Key("hardSize").Int(s.HardSize());
    json.Key("softSize").Int(s.SoftSize());
    json.Key("binningFactor").Int(s.BinningFactor());
    json.Key("counts");
    WriteNumbers(json, s.HardCounts(), s.HardSize());
    json.Key("softCounts");
    WriteNumbers(json, s.SoftCounts(), s.SoftSize());
    json.Key("roi").BeginArray();
    for (int h = 0; h < s.HardSize();) {
        if (!s.HardMarks()[static_cast<std::size_t>(h)]) {
            ++h;
            continue;
        }
        const int first = h;
        while (h < s.HardSize() && s.HardMarks()[static_cast<std::size_t>(h)])
            ++h;
        json.BeginArray();
        json.Int(first);
        json.Int(h - 1);
        json.EndArray();
    }
    json.EndArray();
    json.Key("tag").String(s.Tag());
    json.Key("title").String(s.Title());
    json.Key("serialNumber").Unsigned(r.serialNumber);
    json.Key("firmwareVersion").Int(r.firmwareVersion);
    char firmware[32];
    std::snprintf(firmware, sizeof firmware, "%3.2f", r.firmwareVersion / 100.0);
    json.Key("firmware").String(firmware);
    json.Key("platformCode").Int(s.PlatformCode());
    json.Key("model").String(ModelName(s.PlatformCode(), s.SpFlag(), s.Image().Get(15)));
    json.Key("spFlag").Int(s.SpFlag());
    json.Key("selectedInput").String(s.SelectedInput() == 1 ? "B" : "A");
    json.Key("registers");
    WriteNumbers(json, s.Image().Bank0(), RegisterImage::kRegisters);
    json.Key("calibration").BeginObject();
    for (int input = 0; input < CSpectrum::kInputs; ++input) {
        json.Key(input == 0 ? "inputA" : "inputB").BeginObject();
        json.Key("stored");
        WriteCalibration(json, s.StoredCalibration(input));
        json.Key("working");
        WriteCalibration(json, s.WorkingCalibration(input));
        json.EndObject();
    }
    json.EndObject();
    json.Key("readings").BeginObject();
    json.Key("adcTemperature").Double(r.adcTemperature);
    json.Key("bias").Int(r.bias);
    json.Key("coolingPercent").Int(r.coolingPercent);
    json.Key("internalTemperature").Int(r.internalTemperature);
    json.EndObject();
    const AcquisitionFigures figures = ComputeAcquisitionFigures(s.Image());
    json.Key("acquisition").BeginObject();
    json.Key("realSeconds").Double(figures.realSeconds);
    json.Key("liveSeconds").Double(figures.liveSeconds);
    json.Key("deadPercent").Double(figures.deadPercent);
    json.Key("startText").String(figures.startText);
    json.Key("startLabel").String(figures.startLabel);
    json.EndObject();
    json.EndObject();
    return json.Text();
}

// "16384, 8192, ..., 512".
std::string OfferedSoftSizes() {
    std::string text;
    for (const int size : CSpectrum::kOfferedSoftSizes)
        text += (text.empty() ? "" : ", ") + std::to_string(size);
    return text;
}

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

} // namespace

int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {}, {});
    std::string file, reason;
    if (!SingleFile(parsed, file, reason))
        return BadArguments(err, "info", reason, kInfoUsage);
    CliHost host("orvane info", err);
    CliSpectrum spectrum;
    if (!spectrum.Load(file, host))
        return 1;
    out << RecordJson(file, spectrum.Record());
    return 0;
}

int RunExportCommand(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    const CliArguments parsed(args, {"--csv", "--chn", "--hard", "--soft", "--force"}, {"--soft-size", "-o"});
    std::string file, reason;
    if (!SingleFile(parsed, file, reason))
        return BadArguments(err, "export", reason, kExportUsage);
    const bool csv = parsed.Has("--csv"), chn = parsed.Has("--chn");
    const bool hard = parsed.Has("--hard"), soft = parsed.Has("--soft");
    const std::string output = parsed.Value("-o");
    int softSize = 0;
    if (csv == chn)
        return BadArguments(err, "export", "give one of --csv and --chn", kExportUsage);
    if (hard == soft)
        return BadArguments(err, "export", "give one of --hard and --soft", kExportUsage);
    if (output.empty())
        return BadArguments(err, "export", "-o OUT is required", kExportUsage);
    if (parsed.Has("--soft-size")) {
        if (!soft)
            return BadArguments(err, "export", "--soft-size goes with --soft", kExportUsage);
        if (!ParseInt(parsed.Value("--soft-size"), softSize) || !CliSpectrum::IsOfferedSoftSize(softSize))
            return BadArguments(err, "export", "--soft-size must be one of " + OfferedSoftSizes(),
                                kExportUsage);
    }
    if (!parsed.Has("--force") && PathExists(output)) {
        err << "orvane export: " << output << " exists (--force overwrites it)\n";
        return 1;
    }
    CliHost host("orvane export", err);
    CliSpectrum spectrum;
    if (!spectrum.Load(file, host))
        return 1;
    CSpectrum& record = spectrum.Record();
    if (softSize > 0) {
        // As the SOFT selector takes it: at most the hard size.
        const int hardSize = std::min(record.HardSize(), CSpectrum::kChannels);
        record.SetSizes(record.HardSize(), std::clamp(softSize, CSpectrum::kMinSize, hardSize));
    }
    SpectrumExporter exporter(host);
    const bool written =
        csv ? exporter.ExportCsv(record, output, hard) : exporter.ExportChn(record, output, hard);
    return written ? 0 : 1;
}

int RunRegfileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {}, {});
    std::string file, reason;
    if (!SingleFile(parsed, file, reason))
        return BadArguments(err, "regfile", reason, kRegfileUsage);
    CliHost host("orvane regfile", err);
    RegisterDebugPanel panel(host);
    if (!panel.LoadFrom(file))
        return 1;
    for (int i = 0; i < RegisterDebugPanel::kRegisters; ++i) {
        const unsigned word = panel.GetWords()[static_cast<std::size_t>(i)];
        char line[32];
        std::snprintf(line, sizeof line, "%3d 0x%04X %5u\n", i, word, word);
        out << line;
    }
    return 0;
}

} // namespace orvane
