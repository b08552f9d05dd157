#include "spectrum/FileIo.h"

#include <cstdio>
#include <unistd.h>

namespace orvane {

ssize_t FileIo::Write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int FileIo::Fsync(int fd) {
    return ::fsync(fd);
}

int FileIo::Close(int fd) {
    return ::close(fd);
}

int FileIo::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}

FileIo& FileIo::System() {
    static FileIo io;
    return io;
}

} // namespace orvane
