#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kettrim {

class OutputFile;

// The layout of the CSV outputs: one row per binned channel (four segments "S0" to "S3" for qps, the channel
// number restarting in each), an optional channel column, and a header line when there is a label or a
// channel column. Every line ends with CR LF.
class TableFormat {
public:
    static constexpr int kMaxRows = 16384;
    static constexpr const char* kLineEnd = "\r\n";

    TableFormat(const std::string& extension, int size, bool channelColumn);

    int Rows() const { return rows_; }
    bool ChannelColumn() const { return channelColumn_; }

    bool HasHeader(const std::optional<std::string>& label) const { return label || channelColumn_; }
    // The header of the first column: "Channel," + label, "Channel,Counts" or the label alone.
    std::string FirstHeader(const std::optional<std::string>& label) const;
    // What every further column adds to the header: "," + label, or ",Counts" without a label.
    static std::string FurtherHeader(const std::optional<std::string>& label);

    // Writes the segment line due before `row`, if any, and the row's first cell.
    void WriteRowStart(OutputFile& out, int row, std::uint32_t count) const;
    static void WriteFurtherCell(OutputFile& out, std::uint32_t count);

private:
    int segmentRows_; // 0 when there are no segments
    int rows_;
    bool channelColumn_;
};

} // namespace kettrim
