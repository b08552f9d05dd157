#include "firmware/FpgaImage.h"

#include "device/Frames.h"
#include "firmware/FlashFrames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

FpgaImage::~FpgaImage() {
    Close();
}

int FpgaImage::Open(const std::string& path) {
    Close();
    // Non-blocking, so that a named pipe given for an image cannot hold the program in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat info {};
    const int error = ::fstat(fd, &info) != 0 ? errno
                      : S_ISREG(info.st_mode) ? 0
                      : S_ISDIR(info.st_mode) ? EISDIR
                                              : EINVAL;
    if (error != 0) {
        ::close(fd);
        return error;
    }
    fd_ = fd;
    qbf_ = IsQbfName(path);
    length_ = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

void FpgaImage::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int FpgaImage::ReadFully(std::uint8_t* buffer, std::size_t count, std::size_t& got) {
    got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd_, buffer + got, count - got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

int FpgaImage::Rewind() {
    return ::lseek(fd_, 0, SEEK_SET) == 0 ? 0 : errno;
}

int FpgaImage::Check() {
    if (!qbf_)
        return length_ > 0 ? Rewind() : kInvalid;
    if (length_ <= kHeaderSize)
        return kInvalid; // no header, or a header without an image
    std::uint8_t header[kHeaderSize];
    std::size_t got = 0;
    if (const int error = Rewind())
        return error;
    if (const int error = ReadFully(header, kHeaderSize, got))
        return error;
    if (got < kHeaderSize)
        return kInvalid;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 12; ++i)
        sum += header[i];
    std::uint8_t block[flash::kBlockSize];
    do {
        if (const int error = ReadFully(block, sizeof block, got))
            return error;
        for (std::size_t i = 0; i < got; ++i)
            sum += flash::ReverseBits(block[i]);
    } while (got == sizeof block);
    if (sum != frames::Get32(header + 12) || frames::Get16(header + 2) != kMagic)
        return kInvalid;
    return Rewind();
}

int FpgaImage::Begin(std::uint16_t& code, std::uint32_t& address) {
    code = flash::kWriteCode;
    address = 0;
    if (const int error = Rewind())
        return error;
    if (!qbf_)
        return 0;
    std::uint8_t header[kHeaderSize];
    std::size_t got = 0;
    if (const int error = ReadFully(header, kHeaderSize, got))
        return error;
    if (got < kHeaderSize)
        return EIO; // the file shrank since it was checked
    code = frames::Get16(header);
    address = frames::Get32(header + 4);
    return 0;
}

int FpgaImage::ReadBlock(std::uint8_t* block) {
    std::memset(block, 0xFF, flash::kBlockSize);
    std::size_t got = 0;
    if (const int error = ReadFully(block, flash::kBlockSize, got))
        return error;
    if (!qbf_) {
        for (std::size_t i = 0; i < got; ++i)
            block[i] = flash::ReverseBits(block[i]);
    }
    return 0;
}

bool FpgaImage::IsQbfName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    return ::strcasecmp(path.c_str() + dot + 1, "qbf") == 0;
}

const char* FpgaImage::FileErrorText(int error) {
    switch (error) {
    case 0:
        return "No error occurred.";
    case ENOENT:
        return "The file could not be located.";
    case EACCES:
        return "The file could not be accessed.";
    case ENOTDIR:
    case ENAMETOOLONG:
        return "All or part of the path is invalid.";
    case EMFILE:
        return "The permitted number of open files was exceeded.";
    case ENOSPC:
        return "The disk is full.";
    default:
        return "File Error.";
    }
}

} // namespace orvane
