#pragma once

#include <cstddef>
#include <sys/types.h>

namespace orvane {

// The few system calls a file writer makes, behind one interface so tests can make a disk fill up, a
// close fail or a rename go wrong without needing a full or broken file system.
class FileIo {
public:
    virtual ~FileIo() = default;

    virtual ssize_t Write(int fd, const void* data, std::size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);

    // The real calls.
    static FileIo& System();
};

} // namespace orvane
