#pragma once

#include "spectrum/FileIo.h"

#include <string>
#include <string_view>

namespace orvane {

// Writes a file so that it is either complete or not there at all: the bytes go to a hidden temporary file
// in the target's folder, every write, the fsync and the close are checked, and only then is the temporary
// file renamed over the target. A failure at any step removes the temporary file and leaves a previous file
// of that name as it was. A target that is a symbolic link is written through the link.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string target, FileIo& io = FileIo::System());
    ~SafeFileWriter();

    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Checks that the target can be written (an existing target must be a writable regular file, the
    // folder must take a new file) and creates the temporary file. False: nothing was created.
    bool Open();
    // Appends bytes; false once any write has failed (later writes are not attempted).
    bool Write(std::string_view bytes);
    bool Write(const void* data, std::size_t size) {
        return Write(std::string_view(static_cast<const char*>(data), size));
    }
    // fsync, close and rename into place. False when any step (or an earlier write) failed; the
    // temporary file is then removed.
    bool Commit();
    // Gives up: closes and removes the temporary file. Also what the destructor does before Commit.
    void Abandon();

    bool Failed() const { return failed_; }
    // The errno of the first failure, 0 while none.
    int Error() const { return error_; }
    const std::string& Target() const { return target_; }
    const std::string& TemporaryPath() const { return temporary_; }

private:
    void Fail(int error);

    std::string target_;
    std::string destination_; // the target, or the file a symbolic link target points to
    std::string temporary_;
    FileIo& io_;
    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    bool keepMode_ = false;
    unsigned mode_ = 0;
};

enum class SafeWriteResult { Ok, CannotOpen, WriteFailed };
// The whole file in one go: CannotOpen when the target cannot be written, WriteFailed when a write, the
// fsync, the close or the rename failed (any previous file is then as it was).
SafeWriteResult WriteFileSafely(const std::string& path, std::string_view bytes,
                                FileIo& io = FileIo::System());

// The path as written, with ".EXT" appended when its last component has no extension.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
// Whether something of that name exists (stat succeeds).
bool PathExists(const std::string& path);

} // namespace orvane
