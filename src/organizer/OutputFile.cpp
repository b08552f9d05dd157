#include "organizer/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kettrim {
namespace {

constexpr mode_t kNewFileMode = 0666; // narrowed by the umask, as for any new file

bool TargetWritable(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode) && ::access(target.c_str(), W_OK) == 0;
}

std::string HiddenStagingPath(const std::string& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt);
}

} // namespace

OutputFile::OutputFile() : buffer_(new char[kBufferSize]) {}

OutputFile::~OutputFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!staging_.empty() && !published_ && !keepStaging_)
        ::unlink(staging_.c_str());
}

bool OutputFile::Create(const std::string& target, const std::string& staging) {
    target_ = target;
    // A named staging file is worth writing even when the target cannot take it: it is kept then.
    if (!staging.empty()) {
        fd_ = ::open(staging.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kNewFileMode);
        if (fd_ >= 0)
            staging_ = staging;
        return fd_ >= 0;
    }
    if (!TargetWritable(target))
        return false;
    for (unsigned attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        const std::string path = HiddenStagingPath(target, attempt);
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd_ >= 0)
            staging_ = path;
        else if (errno != EEXIST)
            return false;
    }
    return fd_ >= 0;
}

void OutputFile::WriteThrough(std::string_view text) {
    while (!failed_ && !text.empty()) {
        const ssize_t done = ::write(fd_, text.data(), text.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            failed_ = true;
            break;
        }
        text.remove_prefix(static_cast<std::size_t>(done));
    }
}

void OutputFile::Flush() {
    WriteThrough(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

bool OutputFile::Finish() {
    if (fd_ < 0)
        return false;
    Flush();
    if (::close(fd_) != 0)
        failed_ = true;
    fd_ = -1;
    return !failed_;
}

bool OutputFile::Publish() {
    if (fd_ >= 0 || failed_ || staging_.empty() || !TargetWritable(target_))
        return false;
    published_ = ::rename(staging_.c_str(), target_.c_str()) == 0;
    return published_;
}

} // namespace kettrim
