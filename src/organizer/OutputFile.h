#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kettrim {

// A file that is created or replaced as a whole: the text goes to a staging file in the same folder, every
// write and the close are checked, and only a complete file is renamed into place, so a full disk never
// leaves a truncated table and never destroys the previous one. A target that exists but cannot be written
// (read-only, a folder) is refused: before anything is written with a hidden staging file, at the rename
// with a named one (which the caller may then keep).
class OutputFile {
public:
    OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes the staging file unless it was published or kept.
    ~OutputFile();

    // Without a staging path the staging file is a hidden one beside the target.
    bool Create(const std::string& target, const std::string& staging = {});

    void Write(std::string_view text) {
        if (text.size() > kBufferSize - used_)
            Flush();
        if (text.size() > kBufferSize - used_)
            return WriteThrough(text);
        text.copy(buffer_.get() + used_, text.size());
        used_ += text.size();
    }
    template <typename Integer> void WriteNumber(Integer value) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        Write(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }

    // Writes what is buffered and closes the staging file; true when nothing failed.
    bool Finish();
    // Moves the finished staging file over the target.
    bool Publish();
    // Leaves the staging file in place (it holds a complete table that could not be moved).
    void KeepStaging() { keepStaging_ = true; }

private:
    static constexpr std::size_t kBufferSize = 256 * 1024;

    void Flush();
    void WriteThrough(std::string_view text);

    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    bool failed_ = false;
    bool published_ = false;
    bool keepStaging_ = false;
    std::string target_;
    std::string staging_;
};

} // namespace kettrim
