#include "organizer/PieceReader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kettrim {

PieceReader::~PieceReader() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool PieceReader::Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd_ >= 0;
}

bool PieceReader::Refill() {
    if (endOfFile_ || failed_)
        return false;
    if (position_ > 0) {
        std::memmove(buffer_, buffer_ + position_, end_ - position_);
        end_ -= position_;
        position_ = 0;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_ + end_, kBufferSize - end_);
        if (got > 0) {
            end_ += static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // A read error (a directory, a failing disk) ends the file like its end, but is remembered.
        failed_ = got < 0;
        endOfFile_ = true;
        return false;
    }
}

int PieceReader::Peek(std::size_t ahead) {
    while (position_ + ahead >= end_)
        if (!Refill())
            return -1;
    return static_cast<unsigned char>(buffer_[position_ + ahead]);
}

bool PieceReader::Next(std::string_view& piece) {
    if (fd_ < 0 || piecesRead_ >= kMaxPieces || Peek(0) < 0)
        return false;
    std::size_t taken = 0; // characters of the line in this piece, blanks included
    std::size_t kept = 0;
    bool lastTakenIsCr = false;
    for (;;) {
        const int c = Peek(0);
        if (c < 0)
            break;
        if (c == '\n') {
            ++position_;
            if (lastTakenIsCr)
                --kept;
            break;
        }
        if (taken == kMaxPieceLength) {
            // The line goes on in the next piece, unless only its CR LF is left.
            if (c == '\r' && Peek(1) == '\n')
                position_ += 2;
            break;
        }
        ++position_;
        ++taken;
        lastTakenIsCr = c == '\r';
        if (c != ' ')
            piece_[kept++] = static_cast<char>(c);
    }
    ++piecesRead_;
    piece = std::string_view(piece_, kept);
    return true;
}

} // namespace kettrim
