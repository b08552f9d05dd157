#include "organizer/ColumnScratch.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace kettrim {
namespace {

// pread or pwrite of the whole range, going on after short transfers and interruptions.
template <typename Byte, typename Transfer>
bool TransferAll(Transfer transfer, int fd, Byte* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t done = transfer(fd, data, size, offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= static_cast<std::size_t>(done);
        offset += done;
    }
    return true;
}

int CreateUnnamedFile(const std::string& folder) {
    const std::string directory = folder.empty() ? std::string("/") : folder;
    int fd = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    // Filesystems without unnamed files: a named one, removed at once.
    std::string pattern = directory + "/.kettrim-columns-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(pattern.c_str());
    return fd;
}

} // namespace

ColumnScratch::~ColumnScratch() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ColumnScratch::Create(const std::string& folder, int rows) {
    fd_ = CreateUnnamedFile(folder);
    rows_ = rows;
    columns_ = 0;
    return fd_ >= 0;
}

bool ColumnScratch::Append(const std::uint32_t* counts) {
    if (fd_ < 0)
        return false;
    const std::size_t bytes = static_cast<std::size_t>(rows_) * sizeof(std::uint32_t);
    const off_t offset = static_cast<off_t>(columns_) * static_cast<off_t>(bytes);
    // A column written in part is not counted: the next append writes over it.
    if (!TransferAll(::pwrite, fd_, reinterpret_cast<const char*>(counts), bytes, offset))
        return false;
    ++columns_;
    return true;
}

bool ColumnScratch::Read(int column, int firstRow, int count, std::uint32_t* counts) const {
    if (fd_ < 0)
        return false;
    const off_t offset =
        (static_cast<off_t>(column) * rows_ + firstRow) * static_cast<off_t>(sizeof(std::uint32_t));
    return TransferAll(::pread, fd_, reinterpret_cast<char*>(counts),
                       static_cast<std::size_t>(count) * sizeof(std::uint32_t), offset);
}

} // namespace kettrim
