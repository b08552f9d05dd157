#include "spectrum/SafeFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where writing "path" really lands: a symbolic link is followed (a dangling one too, as opening it for
// writing would create the file it names).
std::string Destination(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), link, sizeof link - 1);
        if (n <= 0)
            return current;
        const std::string to(link, static_cast<std::size_t>(n));
        current = to[0] == '/' ? to : FolderOf(current) + "/" + to;
    }
    return current;
}

std::atomic<unsigned> temporaryCounter{0};

} // namespace

SafeFileWriter::SafeFileWriter(std::string target, FileIo& io) : target_(std::move(target)), io_(io) {}

SafeFileWriter::~SafeFileWriter() {
    Abandon();
}

void SafeFileWriter::Fail(int error) {
    if (!failed_)
        error_ = error == 0 ? EIO : error;
    failed_ = true;
}

bool SafeFileWriter::Open() {
    if (target_.empty() || target_.back() == '/') {
        Fail(EISDIR);
        return false;
    }
    destination_ = Destination(target_);
    struct stat st {};
    if (::stat(destination_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            Fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
            return false;
        }
        // A read-only file stays protected although the rename could replace it.
        if (::access(destination_.c_str(), W_OK) != 0) {
            Fail(errno);
            return false;
        }
        keepMode_ = true;
        mode_ = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        Fail(errno);
        return false;
    }
    const std::string stem = FolderOf(destination_) + "/." + NameOf(destination_) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "%d-%u.tmp", static_cast<int>(::getpid()),
                      temporaryCounter.fetch_add(1));
        const std::string candidate = stem + suffix;
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = candidate;
            if (keepMode_)
                ::fchmod(fd_, static_cast<mode_t>(mode_));
            failed_ = false;
            error_ = 0;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    Fail(errno);
    return false;
}

bool SafeFileWriter::Write(std::string_view bytes) {
    if (fd_ < 0 || failed_) {
        Fail(EBADF);
        return false;
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = io_.Write(fd_, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(n == 0 ? ENOSPC : errno);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFileWriter::Commit() {
    if (fd_ < 0) {
        Fail(EBADF);
        return false;
    }
    if (!failed_ && io_.Fsync(fd_) != 0)
        Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (io_.Close(fd) != 0)
        Fail(errno);
    if (!failed_ && io_.Rename(temporary_.c_str(), destination_.c_str()) != 0)
        Fail(errno);
    if (failed_) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void SafeFileWriter::Abandon() {
    if (fd_ >= 0) {
        io_.Close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

SafeWriteResult WriteFileSafely(const std::string& path, std::string_view bytes, FileIo& io) {
    SafeFileWriter file(path, io);
    if (!file.Open())
        return SafeWriteResult::CannotOpen;
    if (!file.Write(bytes) || !file.Commit())
        return SafeWriteResult::WriteFailed;
    return SafeWriteResult::Ok;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return path;
    return path + "." + extension;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace orvane
