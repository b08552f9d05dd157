#pragma once

#include "spectrum/SafeFileWriter.h"

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

// Register files (".rgv"): one "<registers>" block with a size and 128 decimal words. Loading takes the
// register block of any file that has one, a spectrum file included.
class RegisterFile {
public:
    static constexpr int kWords = 128;
    using Words = std::array<std::uint16_t, kWords>;

    // Reads the file's register blocks into words; words a block does not give keep their values, and a
    // file without a block leaves them all as they were.
    static bool Load(const std::string& path, Words& words);
    static void LoadText(std::string text, Words& words);

    // Writes through the safe writer: CannotOpen when the target cannot be written, WriteFailed when
    // a write, the close or the rename fails (any previous file stays as it was).
    static SafeWriteResult Save(const std::string& path, const Words& words, FileIo& io = FileIo::System());
    static std::string Format(const Words& words);
};

} // namespace orvane
