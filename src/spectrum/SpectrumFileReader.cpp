#include "spectrum/SpectrumFileReader.h"

#include "session/ParameterMap.h"
#include "shell/Host.h"
#include "shell/OutputLog.h"
#include "spectrum/SpectrumFileText.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane {

using namespace std::string_view_literals;

// One reading of one file: the line source, the current line with and without its spaces, and the sizes
// as the file states them until the finish applies them.
class SpectrumFileReader::Pass {
public:
    Pass(CSpectrum& record, std::string text, OutputLog* log)
        : s_(record), lines_(std::move(text)), log_(log) {}

    void Run(const std::string& fileName);

private:
    // Reads the next line into raw_ and line_ (spaces removed); false at the end.
    bool Next();
    void SerialNumber();
    void Spectrum();
    void SpectrumData();
    void Registers();
    void Calibration();
    void Volatile();
    void SkipUntil(std::string_view closing);
    void Reset(const std::string& fileName);
    void Finish();
    void ShowSizes();

    CSpectrum& s_;
    TextLines lines_;
    OutputLog* log_;
    std::string_view raw_;
    std::string line_;
    std::string value_;
    std::string fileName_;
    int hard_ = CSpectrum::kChannels;
    int soft_ = CSpectrum::kChannels;
};

namespace {

// "2.05" is 205: rounded, so the value that was written comes back.
std::int16_t FirmwareFromText(double version) {
    const double scaled = version * 100.0;
    if (!(scaled > -32768.0 && scaled < 32767.0))
        return 0;
    return static_cast<std::int16_t>(std::lround(scaled));
}

struct PointTags {
    std::string channelOpen, channelClose, energyOpen, energyClose, useOpen, useClose;
};

// "<channelA>" .. "</useJ>" for the ten points.
const std::array<PointTags, CalibrationSet::kMaxPoints>& CalibrationPointTags() {
    static const auto tags = [] {
        std::array<PointTags, CalibrationSet::kMaxPoints> t;
        for (int i = 0; i < CalibrationSet::kMaxPoints; ++i) {
            const std::string letter(1, static_cast<char>('A' + i));
            t[static_cast<std::size_t>(i)] = {"<channel" + letter + ">", "</channel" + letter + ">",
                                              "<energy" + letter + ">",  "</energy" + letter + ">",
                                              "<use" + letter + ">",     "</use" + letter + ">"};
        }
        return t;
    }();
    return tags;
}

bool StartsWithPlus(const std::string& line) {
    return !line.empty() && line[0] == '+';
}

// The text between "<tag>" and the "</tag>" after it, when both are there in that order.
bool CutTag(std::string_view line, std::string& tag) {
    const std::size_t open = line.find("<tag>");
    if (open == std::string_view::npos)
        return false;
    const std::size_t close = line.find("</tag>", open + 5);
    if (close == std::string_view::npos)
        return false;
    tag.assign(line.substr(open + 5, close - open - 5));
    return true;
}

} // namespace

bool SpectrumFileReader::Pass::Next() {
    if (!lines_.Next(raw_))
        return false;
    RemoveSpaces(raw_, line_);
    return true;
}

void SpectrumFileReader::Pass::Reset(const std::string& fileName) {
    fileName_ = fileName;
    s_.SetTag(fileName);
    s_.SetTitle(fileName);
    hard_ = CSpectrum::kChannels;
    soft_ = s_.SoftSize();
    // The soft counts and marks follow when the sizes are applied at the end.
    s_.HardCounts().fill(0);
    s_.HardMarks().fill(0);
    for (int input = 0; input < CSpectrum::kInputs; ++input) {
        CalibrationSet& cal = s_.StoredCalibration(input);
        cal.useAll = 1;
        cal.count = 0;
        cal.use.fill(0);
    }
    // A file without a register or volatile block must not show the previous file's.
    s_.Image().ResetToCreation();
    s_.StoreReadings(Readings{});
}

void SpectrumFileReader::Pass::Run(const std::string& fileName) {
    Reset(fileName);
    while (Next()) {
        const std::string tag = FirstTag(line_);
        if (tag == "serialnumber")
            SerialNumber();
        else if (tag == "spectrum")
            Spectrum();
        else if (tag == "registers")
            Registers();
        else if (tag == "calibration")
            Calibration();
        else if (tag == "volatile")
            Volatile();
        else if (tag == "time")
            SkipUntil("</time>"sv);
    }
    Finish();
}

void SpectrumFileReader::Pass::SkipUntil(std::string_view closing) {
    while (line_ != closing && Next()) {
    }
}

void SpectrumFileReader::Pass::SerialNumber() {
    if (TagValue(line_, "<serialnumber>", "</serialnumber>", value_))
        s_.MutableReadings().serialNumber = static_cast<std::uint16_t>(CAtoi(value_));
}

void SpectrumFileReader::Pass::ShowSizes() {
    hard_ = std::clamp(hard_, CSpectrum::kMinSize, CSpectrum::kChannels);
    soft_ = std::min(std::max(soft_, CSpectrum::kMinSize), hard_);
    // The view spans the new soft size, re-centred on the cursor.
    const int cursor = s_.Cursor() - soft_ / 2 > 0 ? soft_ - soft_ / 2 - 1 : s_.Cursor();
    s_.SetView(0, soft_ - 1);
    s_.SetCursor(std::clamp(cursor, 0, soft_ - 1));
}

void SpectrumFileReader::Pass::Spectrum() {
    soft_ = CSpectrum::kMinSize;
    std::string tag;
    while (line_ != "</spectrum>"sv) {
        if (!Next())
            return;
        if (Contains(line_, "<tag>") && Contains(line_, "</tag>")) {
            // Cut from the line as written, so inner spaces stay; from the stripped line when the
            // spaces hide or reorder the tags.
            if (!CutTag(raw_, tag) && !CutTag(line_, tag))
                tag.clear();
            s_.SetTag(tag);
            // From the file name, not the title so far: a file of many tag lines must not nest the title
            // on itself (which also grows quadratically).
            s_.SetTitle("FILE: " + fileName_ + "  (" + tag + ")");
        }
        const bool hardLine = TagValue(line_, "<hardsize>", "</hardsize>", value_);
        if (hardLine)
            hard_ = CAtoi(value_);
        const bool softLine = TagValue(line_, "<softsize>", "</softsize>", value_);
        if (softLine)
            soft_ = CAtoi(value_);
        if (hardLine || softLine)
            ShowSizes();
        if (Contains(line_, "<data>"))
            SpectrumData();
    }
}

void SpectrumFileReader::Pass::SpectrumData() {
    auto& counts = s_.HardCounts();
    auto& marks = s_.HardMarks();
    for (int k = 0; k <= hard_ && line_ != "</data>"sv; ++k) {
        if (!Next())
            return;
        if (k < hard_) {
            const auto i = static_cast<std::size_t>(k);
            marks[i] = StartsWithPlus(line_) ? 1 : 0;
            counts[i] = CStrtoul32(line_);
        }
    }
}

void SpectrumFileReader::Pass::Registers() {
    int n = RegisterImage::kRegisters;
    while (line_ != "</registers>"sv) {
        if (!Next())
            return;
        if (TagValue(line_, "<size>", "</size>", value_)) {
            if (log_)
                log_->AddLine(value_);
            n = std::clamp(CAtoi(value_), 0, RegisterImage::kRegisters);
        }
        if (Contains(line_, "<data>")) {
            for (int k = 0; k <= n && line_ != "</data>"sv; ++k) {
                if (!Next())
                    return;
                if (k < n)
                    s_.Image().Set(k, static_cast<std::uint16_t>(CAtoi(line_)));
            }
        }
    }
}

void SpectrumFileReader::Pass::Calibration() {
    // The selected input follows register 18 of the record, read in its registers block before this one.
    const int input = s_.SelectedInput();
    s_.SetInputBFlag(input);
    CalibrationSet& cal = s_.StoredCalibration(input);
    while (line_ != "</calibration>"sv) {
        if (!Next())
            return;
        if (TagValue(line_, "<enabled>", "</enabled>", value_))
            cal.enabled = value_ == "YES" ? 1 : 0;
        if (TagValue(line_, "<units>", "</units>", value_))
            cal.units = CAtoi(value_);
        for (std::size_t k = 0; k < CalibrationPointTags().size(); ++k) {
            const PointTags& t = CalibrationPointTags()[k];
            if (TagValue(line_, t.channelOpen, t.channelClose, value_)) {
                cal.channel[k] = CAtof(value_);
                // One point per channel line, however many there are, but never more than the set holds.
                cal.count = std::min(cal.count + 1, CalibrationSet::kMaxPoints);
            }
            if (TagValue(line_, t.energyOpen, t.energyClose, value_))
                cal.energy[k] = CAtof(value_);
            if (TagValue(line_, t.useOpen, t.useClose, value_))
                cal.use[k] = CAtoi(value_);
        }
    }
}

void SpectrumFileReader::Pass::Volatile() {
    Readings& r = s_.MutableReadings();
    while (line_ != "</volatile>"sv) {
        if (!Next())
            return;
        if (TagValue(line_, "<firmware>", "</firmware>", value_))
            r.firmwareVersion = FirmwareFromText(CAtof(value_));
        if (TagValue(line_, "<intemp>", "</intemp>", value_))
            r.internalTemperature = static_cast<std::int16_t>(CAtoi(value_));
        // "<slowadvc>" is how the writer has always opened the slow-ADC line.
        if (TagValue(line_, "<adctemp>", "</adctemp>", value_) ||
            TagValue(line_, "<slowadc>", "</slowadc>", value_) ||
            TagValue(line_, "<slowadvc>", "</slowadc>", value_))
            r.adcTemperature = CAtof(value_);
        if (TagValue(line_, "<bias>", "</bias>", value_))
            r.bias = CAtoi(value_);
        if (TagValue(line_, "<cpwr>", "</cpwr>", value_))
            r.coolingPercent = CAtoi(value_);
    }
}

void SpectrumFileReader::Pass::Finish() {
    soft_ = std::max(soft_, CSpectrum::kMinSize);
    if (hard_ < CSpectrum::kMinSize)
        hard_ = CSpectrum::kChannels;
    if (!s_.Shown()) {
        // A record nobody shows still gets consistent sizes and soft counts.
        s_.AssignSizes(std::max(hard_, soft_), soft_);
        s_.Fold();
        s_.ResetView();
    }
    s_.SetSizes(hard_, soft_, /*treatAsChanged=*/true);
    if (s_.Image().Get(reg::kTimeConstants) == 0)
        s_.Image().Set(reg::kTimeConstants, DeriveTimeConstants(s_.Image().Get(reg::kLongTcB)));
    s_.Activate();
}

std::uint16_t SpectrumFileReader::DeriveTimeConstants(std::uint16_t register9) {
    const int w = register9 >> 3;
    int exponent = w > 768 ? 9 : 0; // above the search's range; 0 matches no period at all
    for (int e = 9, p = 512; p >= 1; --e, p /= 2) {
        if (w <= p + p / 2 && w >= p - p / 4) {
            exponent = e;
            break;
        }
    }
    return static_cast<std::uint16_t>(16 * exponent + 9);
}

SpectrumFileReader::SpectrumFileReader(Host& host, OutputLog* log) : host_(host), log_(log) {}

bool SpectrumFileReader::Load(CSpectrum& record, const std::string& path, const std::string& fileName) {
    std::string text;
    if (!TextLines::ReadFile(path, text)) {
        host_.MessageBox(spectrum_text::kUnableToOpen, spectrum_text::kErrorCaption, MessageIcon::Stop,
                         MessageButtons::Ok);
        return false;
    }
    LoadText(record, std::move(text), fileName);
    return true;
}

void SpectrumFileReader::LoadText(CSpectrum& record, std::string text, const std::string& fileName) {
    Pass(record, std::move(text), log_).Run(fileName);
}

} // namespace orvane
