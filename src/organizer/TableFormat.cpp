#include "organizer/TableFormat.h"

#include "organizer/FileType.h"
#include "organizer/OutputFile.h"

#include <algorithm>

namespace kettrim {

namespace {
constexpr int kSegments = 4;
}

TableFormat::TableFormat(const std::string& extension, int size, bool channelColumn)
    : segmentRows_(0), rows_(0), channelColumn_(channelColumn) {
    const bool segmented = IsFourSegmentType(extension);
    rows_ = std::min(std::max(1, size) * (segmented ? kSegments : 1), kMaxRows);
    if (segmented)
        segmentRows_ = rows_ / kSegments;
}

std::string TableFormat::FirstHeader(const std::optional<std::string>& label) const {
    if (channelColumn_)
        return label ? "Channel," + *label : std::string("Channel,Counts");
    return label.value_or(std::string());
}

std::string TableFormat::FurtherHeader(const std::optional<std::string>& label) {
    return label ? "," + *label : std::string(",Counts");
}

void TableFormat::WriteRowStart(OutputFile& out, int row, std::uint32_t count) const {
    int channel = row;
    if (segmentRows_ > 0) {
        const int segment = row / segmentRows_;
        channel = row - segment * segmentRows_;
        if (channel == 0) {
            out.Write("S");
            out.WriteNumber(segment);
            out.Write(kLineEnd);
        }
    }
    if (channelColumn_) {
        out.WriteNumber(channel);
        out.Write(", ");
    }
    out.WriteNumber(count);
}

void TableFormat::WriteFurtherCell(OutputFile& out, std::uint32_t count) {
    out.Write(",");
    out.WriteNumber(count);
}

} // namespace kettrim
