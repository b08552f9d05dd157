#pragma once

#include "spectrum/FileIo.h"

#include <cerrno>
#include <string>

namespace orvane::test {

// File calls that fail on demand: the disk fills up after a number of bytes, or fsync, close or rename
// report an error. Everything else is the real call.
class FailingFileIo : public FileIo {
public:
    // Bytes accepted before writes fail with ENOSPC; negative: never.
    long long spaceLeft = -1;
    bool failFsync = false;
    bool failClose = false;
    bool failRename = false;
    std::string renamedFrom, renamedTo;

    ssize_t Write(int fd, const void* data, std::size_t size) override {
        if (spaceLeft >= 0) {
            if (spaceLeft == 0) {
                errno = ENOSPC;
                return -1;
            }
            if (static_cast<long long>(size) > spaceLeft)
                size = static_cast<std::size_t>(spaceLeft);
            spaceLeft -= static_cast<long long>(size);
        }
        return FileIo::Write(fd, data, size);
    }
    int Fsync(int fd) override {
        if (failFsync) {
            errno = EIO;
            return -1;
        }
        return FileIo::Fsync(fd);
    }
    int Close(int fd) override {
        const int result = FileIo::Close(fd);
        if (failClose) {
            errno = EIO;
            return -1;
        }
        return result;
    }
    int Rename(const char* from, const char* to) override {
        renamedFrom = from;
        renamedTo = to;
        if (failRename) {
            errno = EXDEV;
            return -1;
        }
        return FileIo::Rename(from, to);
    }
};

} // namespace orvane::test
