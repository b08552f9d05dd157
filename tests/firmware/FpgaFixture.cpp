#include "firmware/FpgaFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace orvane::test {

ImageFolder::ImageFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-fpga-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot create a temporary folder";
    path_ = pattern;
}

ImageFolder::~ImageFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ImageFolder::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::string path = path_ + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
        if (!bytes.empty()) {
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        }
        std::fclose(file);
    }
    return path;
}

std::vector<std::uint8_t> ImageBytes(std::size_t count, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = seed;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

namespace {
std::uint8_t Reversed(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i))
            r = static_cast<std::uint8_t>(r | (0x80u >> i));
    return r;
}
void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
} // namespace

std::vector<std::uint8_t> QbfFile(const std::vector<std::uint8_t>& image, const QbfHeader& header) {
    std::vector<std::uint8_t> file(16 + image.size());
    std::copy(image.begin(), image.end(), file.begin() + 16);
    PutLe(file, 0, header.code, 2);
    PutLe(file, 2, header.magic, 2);
    PutLe(file, 4, header.address, 4);
    PutLe(file, 8, header.word8, 4);
    std::uint32_t sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += file[i];
    for (std::uint8_t b : image)
        sum += Reversed(b);
    PutLe(file, 12, static_cast<std::uint32_t>(sum + header.checksumError), 4);
    return file;
}

} // namespace orvane::test
