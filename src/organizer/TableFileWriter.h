#pragma once

#include "organizer/ColumnScratch.h"
#include "organizer/OutputFile.h"
#include "organizer/TableFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kettrim {

// Writes the whole table once from the column scratch file, a block of rows at a time so that memory stays
// bounded and a window can repaint between blocks. The text goes to the temporary table file, which is
// renamed to the table when complete; if that rename fails, the temporary table stays with the full table.
class TableFileWriter {
public:
    TableFileWriter(const TableFormat& format, const ColumnScratch& scratch);

    bool Begin(const std::string& tablePath, const std::string& temporaryPath,
               const std::optional<std::string>& header);
    // Writes the next block of rows; false once every row is written.
    bool WriteNextBlock();
    // True when the complete table is in place.
    bool Finish();

private:
    static constexpr std::size_t kBlockCounts = 1 << 20; // counts held in memory at a time

    const TableFormat& format_;
    const ColumnScratch& scratch_;
    OutputFile out_;
    std::vector<std::uint32_t> block_;
    int blockRows_ = 1;
    int nextRow_ = 0;
    bool failed_ = false;
};

} // namespace kettrim
