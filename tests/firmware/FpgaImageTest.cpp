#include "firmware/FpgaImage.h"
#include "firmware/FpgaFixture.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace orvane {
namespace {

TEST(FpgaImage, TheFileTypeComesFromTheExtensionInAnyCase) {
    const struct {
        const char* path;
        bool qbf;
    } cases[] = {
        {"/a/design.qbf", true},  {"/a/design.QBF", true},      {"design.Qbf", true},
        {"/a/design.rbf", false}, {"/a/design.bin", false},     {"/a/qbf", false},
        {"/a.qbf/design", false}, {"/a/design.qbf.bak", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FpgaImage::IsQbfName(c.path), c.qbf) << c.path;
}

TEST(FpgaImage, FileErrorsReadAsTheDialogShowsThem) {
    const struct {
        int error;
        const char* text;
    } cases[] = {
        {0, "No error occurred."},
        {ENOENT, "The file could not be located."},
        {EACCES, "The file could not be accessed."},
        {ENOTDIR, "All or part of the path is invalid."},
        {ENAMETOOLONG, "All or part of the path is invalid."},
        {EMFILE, "The permitted number of open files was exceeded."},
        {ENOSPC, "The disk is full."},
        {EIO, "File Error."},
        {EISDIR, "File Error."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FpgaImage::FileErrorText(c.error), c.text) << c.error;
}

TEST(FpgaImage, TheQbfChecksumCoversTheHeaderWordsAndEveryBitReversedImageByte) {
    test::ImageFolder dir;
    // Over three blocks, so the sum runs across block ends; the builder reverses each byte on its own.
    const auto image = test::ImageBytes(1300, 9);
    const auto file = test::QbfFile(image);
    FpgaImage valid;
    ASSERT_EQ(valid.Open(dir.Write("good.qbf", file)), 0);
    EXPECT_EQ(valid.Check(), 0);
    EXPECT_EQ(valid.Length(), 1316u);

    auto changed = [&](std::size_t at, std::uint8_t value) {
        auto bytes = file;
        bytes[at] = value;
        FpgaImage image;
        EXPECT_EQ(image.Open(dir.Write("changed.qbf", bytes)), 0);
        return image.Check();
    };
    EXPECT_EQ(changed(8, static_cast<std::uint8_t>(file[8] + 1)), FpgaImage::kInvalid); // the further word
    EXPECT_EQ(changed(16 + 1299, static_cast<std::uint8_t>(file[16 + 1299] ^ 0x01)), FpgaImage::kInvalid);
}

TEST(FpgaImage, BlocksComeAsTheFlashHoldsThem) {
    test::ImageFolder dir;
    FpgaImage raw;
    ASSERT_EQ(raw.Open(dir.Write("raw.rbf", {0x01, 0x0F, 0xA0})), 0);
    ASSERT_EQ(raw.Check(), 0);
    std::uint16_t code = 0;
    std::uint32_t address = 1;
    ASSERT_EQ(raw.Begin(code, address), 0);
    EXPECT_EQ(code, 210);
    EXPECT_EQ(address, 0u);
    std::uint8_t block[512];
    ASSERT_EQ(raw.ReadBlock(block), 0);
    EXPECT_EQ(block[0], 0x80);
    EXPECT_EQ(block[1], 0xF0);
    EXPECT_EQ(block[2], 0x05);
    EXPECT_EQ(block[3], 0xFF);
    EXPECT_EQ(block[511], 0xFF);

    test::QbfHeader header;
    header.code = 212;
    header.address = 0x00ABCDEF;
    FpgaImage qbf;
    ASSERT_EQ(qbf.Open(dir.Write("x.qbf", test::QbfFile({0x01, 0x0F}, header))), 0);
    ASSERT_EQ(qbf.Check(), 0);
    ASSERT_EQ(qbf.Begin(code, address), 0);
    EXPECT_EQ(code, 212);
    EXPECT_EQ(address, 0x00ABCDEFu);
    ASSERT_EQ(qbf.ReadBlock(block), 0);
    EXPECT_EQ(block[0], 0x01);
    EXPECT_EQ(block[1], 0x0F);
    EXPECT_EQ(block[2], 0xFF);
}

} // namespace
} // namespace orvane
