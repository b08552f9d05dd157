#pragma once

#include <cstdint>
#include <string>

namespace kettrim {

// The binned columns of a table conversion, kept in binary in an unnamed file in the output folder (it
// disappears with the process, whatever happens), so the table can be written once at the end instead of
// being rewritten for every file. Columns are stored one after the other, `rows` counts each.
class ColumnScratch {
public:
    ColumnScratch() = default;
    ColumnScratch(const ColumnScratch&) = delete;
    ColumnScratch& operator=(const ColumnScratch&) = delete;
    ~ColumnScratch();

    bool Create(const std::string& folder, int rows);
    bool IsOpen() const { return fd_ >= 0; }
    bool Append(const std::uint32_t* counts);
    // Counts of one column for rows [firstRow, firstRow + count).
    bool Read(int column, int firstRow, int count, std::uint32_t* counts) const;

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }

private:
    int fd_ = -1;
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace kettrim
