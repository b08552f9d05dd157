#pragma once

#include "shell/Host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test {

// A folder of its own under the system's temporary folder, removed with everything in it.
class ImageFolder {
public:
    ImageFolder();
    ~ImageFolder();
    ImageFolder(const ImageFolder&) = delete;
    ImageFolder& operator=(const ImageFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Writes a file into the folder and returns its path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string path_;
};

// Answers every message box with OK and keeps what was shown.
class RecordingHost : public Host {
public:
    struct Message {
        std::string text, caption;
        MessageIcon icon;
    };
    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons) override {
        messages.push_back({text, caption, icon});
        return kAnswerOk;
    }
    std::vector<Message> messages;
};

// Image bytes that differ from block to block and from their bit-reversed selves.
std::vector<std::uint8_t> ImageBytes(std::size_t count, std::uint8_t seed = 1);

// A qbf file: the header (code, magic, address, a further word, checksum + checksumError) and the image.
struct QbfHeader {
    std::uint16_t code = 210;
    std::uint16_t magic = 0x4E4D;
    std::uint32_t address = 0;
    std::uint32_t word8 = 0x12345678;
    std::int64_t checksumError = 0;
};
std::vector<std::uint8_t> QbfFile(const std::vector<std::uint8_t>& image, const QbfHeader& header = {});

} // namespace orvane::test
