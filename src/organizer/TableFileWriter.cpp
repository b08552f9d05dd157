#include "organizer/TableFileWriter.h"

#include <algorithm>

namespace kettrim {

TableFileWriter::TableFileWriter(const TableFormat& format, const ColumnScratch& scratch)
    : format_(format), scratch_(scratch) {}

bool TableFileWriter::Begin(const std::string& tablePath, const std::string& temporaryPath,
                            const std::optional<std::string>& header) {
    const int columns = std::max(1, scratch_.Columns());
    blockRows_ =
        std::clamp(static_cast<int>(kBlockCounts / static_cast<std::size_t>(columns)), 1, format_.Rows());
    block_.resize(static_cast<std::size_t>(blockRows_) * static_cast<std::size_t>(columns));
    if (!out_.Create(tablePath, temporaryPath)) {
        failed_ = true;
        return false;
    }
    if (header) {
        out_.Write(*header);
        out_.Write(TableFormat::kLineEnd);
    }
    return true;
}

bool TableFileWriter::WriteNextBlock() {
    if (failed_ || nextRow_ >= format_.Rows())
        return false;
    const int rows = std::min(blockRows_, format_.Rows() - nextRow_);
    const int columns = scratch_.Columns();
    // The block holds column after column, `rows` counts each.
    for (int c = 0; c < columns && !failed_; ++c)
        failed_ = !scratch_.Read(c, nextRow_, rows, block_.data() + static_cast<std::size_t>(c) * rows);
    for (int r = 0; r < rows && !failed_; ++r) {
        format_.WriteRowStart(out_, nextRow_ + r, block_[static_cast<std::size_t>(r)]);
        for (int c = 1; c < columns; ++c)
            TableFormat::WriteFurtherCell(out_, block_[static_cast<std::size_t>(c) * rows + r]);
        out_.Write(TableFormat::kLineEnd);
    }
    nextRow_ += rows;
    return !failed_ && nextRow_ < format_.Rows();
}

bool TableFileWriter::Finish() {
    if (failed_ || nextRow_ < format_.Rows())
        return false;
    if (!out_.Finish())
        return false;
    if (!out_.Publish()) {
        out_.KeepStaging();
        return false;
    }
    return true;
}

} // namespace kettrim
