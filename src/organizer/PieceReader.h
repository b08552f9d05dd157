#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kettrim {

// Reads a text file as pieces: at most 255 characters of a line each (the rest of a longer line is the
// next piece), with every blank (0x20) removed. Lines end with LF; a CR right before the LF is dropped, so
// files written on Windows read the same. At most 50000 pieces are read from one file. The file is opened
// read-only and the buffers are fixed, so a reader costs the same whatever the file holds.
class PieceReader {
public:
    static constexpr std::size_t kMaxPieceLength = 255;
    static constexpr int kMaxPieces = 50000;

    PieceReader() = default;
    PieceReader(const PieceReader&) = delete;
    PieceReader& operator=(const PieceReader&) = delete;
    ~PieceReader();

    bool Open(const std::string& path);
    // The next piece; false at the end of the file, after the last allowed piece, or on a read error.
    bool Next(std::string_view& piece);
    bool Failed() const { return failed_; }

private:
    // The byte `ahead` places past the read position, or -1 at the end of the file.
    int Peek(std::size_t ahead);
    bool Refill();

    static constexpr std::size_t kBufferSize = 64 * 1024;

    int fd_ = -1;
    bool failed_ = false;
    bool endOfFile_ = false;
    int piecesRead_ = 0;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    char buffer_[kBufferSize];
    char piece_[kMaxPieceLength];
};

} // namespace kettrim
