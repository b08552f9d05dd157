#include "support/PerPassReference.h"

#include "organizer/FileSetEntry.h"
#include "organizer/FileType.h"
#include "organizer/Rebinning.h"
#include "organizer/SpectrumBuffers.h"
#include "organizer/SpectrumFileReader.h"
#include "organizer/TimeStamp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace kettrim::test {
namespace {

template <typename... Arguments> std::string Format(const char* format, Arguments... arguments) {
    char text[128];
    std::snprintf(text, sizeof text, format, arguments...);
    return text;
}

bool ReadLine(std::ifstream& in, std::string& line) {
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

struct Pass {
    std::string extension;
    int rows = 0;
    bool segmented = false;
    bool channelColumn = false;
    const SpectrumBuffers* buffers = nullptr;

    bool SegmentStart(int r) const { return segmented && r % (rows / 4) == 0; }

    void WriteFirstColumn(const std::string& name, const std::optional<std::string>& label) const {
        std::ofstream out(name + "_" + extension + ".csv", std::ios::binary | std::ios::trunc);
        if (channelColumn)
            out << "Channel," << label.value_or("Counts") << "\r\n";
        else if (label)
            out << *label << "\r\n";
        int channel = 0;
        for (int r = 0; r < rows; ++r) {
            if (SegmentStart(r)) {
                out << Format("S%d", r / (rows / 4)) << "\r\n";
                channel = 0;
            }
            const unsigned count = buffers->binned[static_cast<std::size_t>(r)];
            out << (channelColumn ? Format("%d, %u", channel, count) : Format("%u", count)) << "\r\n";
            ++channel;
        }
    }

    void AppendTableColumn(const std::string& table, const std::string& temporary,
                           const std::optional<std::string>& label) const {
        const std::string tablePath = table + "_" + extension + ".csv";
        const std::string temporaryPath = temporary + "_" + extension + ".csv";
        {
            std::ifstream in(temporaryPath, std::ios::binary);
            std::ofstream out(tablePath, std::ios::binary | std::ios::trunc);
            std::string line;
            if (label || channelColumn) {
                ReadLine(in, line);
                out << line << "," << label.value_or("Counts") << "\r\n";
            }
            for (int r = 0; r < rows; ++r) {
                if (SegmentStart(r)) {
                    ReadLine(in, line);
                    out << line << "\r\n";
                }
                ReadLine(in, line);
                out << line << Format(",%u", buffers->binned[static_cast<std::size_t>(r)]) << "\r\n";
            }
        }
        std::filesystem::copy_file(tablePath, temporaryPath,
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

} // namespace

void PerPassReference::Convert(const std::string& firstPath, const std::string& lastPath,
                               const ConversionSettings& settings, int size) {
    const FileSetEntry first = FileSetEntry::FromPath(firstPath);
    const FileSetEntry last = FileSetEntry::FromPath(lastPath);
    const bool series = first.extension == last.extension && first.folder == last.folder &&
                        first.base == last.base && first.number != 0 && last.number != 0;
    const bool single = firstPath == lastPath && !series;
    if (!single && !series)
        return;
    const std::string prefix = first.folder + "/" + first.base + "_";
    for (int n = first.number; !single && n <= last.number; ++n)
        if (!std::ifstream(prefix + Format("%04d", n) + "." + first.extension))
            return;

    const int increment = settings.increment < 1 ? 1 : settings.increment;
    const int files = single ? 1 : std::abs(last.number - first.number) / increment + 1;
    const std::string table =
        first.folder + "/" + first.base + Format("_%04d_to_%04d_+%d", first.number, last.number, increment);
    const std::string temporary = prefix + "0000";
    auto buffers = std::make_unique<SpectrumBuffers>();
    Pass pass;
    pass.extension = first.extension;
    pass.segmented = IsFourSegmentType(first.extension);
    pass.rows = std::min(size * (pass.segmented ? 4 : 1), 16384);
    pass.channelColumn = settings.channelColumn;
    pass.buffers = buffers.get();

    int n = first.number;
    long long startTime = 0;
    for (int i = 0; i < files; ++i, n += last.number >= first.number ? increment : -increment) {
        const std::string numberText = Format("%04d", n);
        const std::string path = single ? firstPath : prefix + numberText + "." + first.extension;
        buffers->counts.fill(0);
        buffers->registers.fill(0);
        const bool read = IsSingleSpectrumType(first.extension)
                              ? SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers)
                              : SpectrumFileReader::ReadMultiSpectrumFile(path, *buffers);
        if (!read) {
            buffers->counts.fill(0);
            buffers->registers.fill(0);
        }
        const TimeStamp stamp = DecodeTimeStamp(*buffers);
        if (i == 0) {
            if (!stamp.valid)
                return;
            startTime = stamp.time;
        }
        Rebin(*buffers, size, SpectrumChannels(first.extension));
        std::optional<std::string> label;
        switch (settings.label) {
        case LabelKind::FileName:
            label = single ? first.title : first.base + "_" + numberText;
            break;
        case LabelKind::FileNumber:
            label = single ? first.title : numberText;
            break;
        case LabelKind::TimeStamp:
            label = stamp.text;
            break;
        case LabelKind::ElapsedTime:
            label = Format("%lld", static_cast<long long>(stamp.time - startTime));
            break;
        case LabelKind::None:
            break;
        }
        const bool stampUsed =
            settings.label == LabelKind::TimeStamp || settings.label == LabelKind::ElapsedTime;
        if (stampUsed && !stamp.valid)
            return;

        if (settings.organization == Organization::IndividualFiles) {
            pass.WriteFirstColumn(single ? first.folder + "/" + first.title : prefix + numberText, label);
        } else if (single) {
            pass.WriteFirstColumn(first.folder + "/" + first.title, label);
        } else if (i == 0) {
            pass.WriteFirstColumn(table, label);
            pass.WriteFirstColumn(temporary, label);
        } else {
            pass.AppendTableColumn(table, temporary, label);
        }
        if (settings.organization == Organization::Table && !single && i == files - 1)
            std::filesystem::remove(temporary + "_" + first.extension + ".csv");
    }
}

} // namespace kettrim::test
