#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane {

// An FPGA image file, read block by block as it goes to the flash. A "qbf" file carries a 16-byte header
// (command code, magic, flash address, a further word, checksum) before bytes already in the flash's bit
// order; any other file is a raw image for address 0 whose bytes the flash holds bit-reversed.
class FpgaImage {
public:
    static constexpr std::size_t kHeaderSize = 16;
    static constexpr std::uint16_t kMagic = 0x4E4D;
    static constexpr int kInvalid = -1; // Check: not an image that may be written

    FpgaImage() = default;
    ~FpgaImage();
    FpgaImage(const FpgaImage&) = delete;
    FpgaImage& operator=(const FpgaImage&) = delete;

    // Opens the file for reading: 0, or the errno value of the failure.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    bool IsQbf() const { return qbf_; }
    std::uint64_t Length() const { return length_; }

    // 0 when the image may be written, kInvalid for a qbf whose magic or checksum is wrong or any file
    // without image bytes, else the errno value of a failed read. Leaves the file at its start.
    int Check();
    // Reads the header again (qbf) and gives the code the replies carry and the first flash address;
    // 0 or an errno value.
    int Begin(std::uint16_t& code, std::uint32_t& address);
    // The next block as the flash must hold it: 0xFF past the end of the file, raw bytes bit-reversed.
    // 0 or an errno value.
    int ReadBlock(std::uint8_t* block);

    // Whether a path names a qbf file: its extension, in any case.
    static bool IsQbfName(const std::string& path);
    // The text shown after "FILE ERROR: " for an errno value.
    static const char* FileErrorText(int error);

private:
    int ReadFully(std::uint8_t* buffer, std::size_t count, std::size_t& got);
    int Rewind();

    int fd_ = -1;
    bool qbf_ = false;
    std::uint64_t length_ = 0;
};

} // namespace orvane
