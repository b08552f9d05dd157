#include "organizer/SpectrumFileReader.h"

#include "support/SeriesWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace kettrim {
namespace {

using test::SeriesWriter;

class SpectrumFileReaderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = folder_.File(name);
        SeriesWriter::WriteText(path, text);
        return path;
    }

    test::TempFolder folder_;
    std::unique_ptr<SpectrumBuffers> buffers_ = std::make_unique<SpectrumBuffers>();
};

TEST_F(SpectrumFileReaderTest, ReadsTheAnalyzersFileWithMarksAndRegisters) {
    test::Counts counts = SeriesWriter::SampleCounts(16384, 3);
    test::Registers registers{};
    for (std::size_t i = 0; i < registers.size(); ++i)
        registers[i] = static_cast<std::uint16_t>(i * 500);
    for (bool crlf : {false, true}) {
        SCOPED_TRACE(crlf ? "CR LF" : "LF");
        const std::string path = folder_.File("run_0001.qxs");
        SeriesWriter::WriteQxs(path, counts, registers, {crlf, {0, 5, 16383}});
        buffers_->counts.fill(7);
        ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers_));
        EXPECT_TRUE(std::equal(counts.begin(), counts.end(), buffers_->counts.begin()));
        EXPECT_EQ(buffers_->registers, registers);
    }
}

TEST_F(SpectrumFileReaderTest, ValuesLoseTheirBlanksAndExcessValuesAreIgnored) {
    std::string text = "<Kiramo>\n<spectrum>\n<data>\n + 123\n1 2\n\t9\nx\n";
    for (int i = 4; i < 16384 + 10; ++i)
        text += "5\n";
    text += "</data>\n</spectrum>\n";
    const std::string path = Write("a.qxs", text);
    ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers_));
    EXPECT_EQ(buffers_->counts[0], 123u);
    EXPECT_EQ(buffers_->counts[1], 12u);
    EXPECT_EQ(buffers_->counts[2], 9u);
    EXPECT_EQ(buffers_->counts[3], 0u); // not a number
    EXPECT_EQ(buffers_->counts[16383], 5u);
}

TEST_F(SpectrumFileReaderTest, ARegisterBlockOf200StoresOnly128Words) {
    std::string text = "<registers>\n  <size>200</size>\n  <data>\n";
    for (int i = 0; i < 200; ++i)
        text += std::to_string(i + 1) + "\n";
    text += "  </data>\n</registers>\n<spectrum>\n<data>\n77\n</data>\n</spectrum>\n";
    const std::string path = Write("a.qxs", text);
    ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers_));
    EXPECT_EQ(buffers_->registers[0], 1);
    EXPECT_EQ(buffers_->registers[127], 128);
    EXPECT_EQ(buffers_->counts[0], 77u); // the values past 128 did not end the block early
}

TEST_F(SpectrumFileReaderTest, RegisterSizeDecidesHowManyWordsAreStored) {
    buffers_->registers.fill(9);
    const std::string path =
        Write("a.qxs", "<registers>\n<size>2</size>\n<data>\n-1\n70000\n5\n</data>\n</registers>\n");
    ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers_));
    EXPECT_EQ(buffers_->registers[0], 0xFFFF);
    EXPECT_EQ(buffers_->registers[1], 70000 & 0xFFFF);
    EXPECT_EQ(buffers_->registers[2], 9); // beyond the declared size: left alone
}

TEST_F(SpectrumFileReaderTest, LinesLongerThan255CharactersAreReadAsSeveralPieces) {
    // A 300-digit line is two values: its first 255 characters and the other 45.
    const std::string longLine = std::string(254, '0') + "7" + std::string(44, '0') + "3";
    const std::string path =
        Write("a.qxs", "<spectrum>\n<data>\n" + longLine + "\r\n8\n</data>\n</spectrum>\n");
    ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(path, *buffers_));
    EXPECT_EQ(buffers_->counts[0], 7u);
    EXPECT_EQ(buffers_->counts[1], 3u);
    EXPECT_EQ(buffers_->counts[2], 8u);
}

TEST_F(SpectrumFileReaderTest, NoMoreThan50000PiecesAreRead) {
    std::string spectrum = "<spectrum>\n<data>\n";
    for (int i = 0; i < 16384; ++i)
        spectrum += "1\n";
    spectrum += "</data>\n</spectrum>\n"; // 16388 pieces
    // The register value is piece 50000 (read) or piece 50001 (not read); blank lines are pieces too.
    for (int valuePiece : {50000, 50001}) {
        SCOPED_TRACE(valuePiece);
        const std::string text = spectrum +
                                 std::string(static_cast<std::size_t>(valuePiece - 16388 - 4), '\n') +
                                 "<registers>\n<size>1</size>\n<data>\n44\n</data>\n</registers>\n";
        buffers_->registers.fill(0);
        ASSERT_TRUE(SpectrumFileReader::ReadSingleSpectrumFile(Write("a.qxs", text), *buffers_));
        EXPECT_EQ(buffers_->counts[16383], 1u);
        EXPECT_EQ(buffers_->registers[0], valuePiece == 50000 ? 44 : 0);
    }
}

TEST_F(SpectrumFileReaderTest, TheFourSpectraLandOneAfterTheOther) {
    std::array<test::Counts, 4> spectra;
    for (int k = 0; k < 4; ++k)
        spectra[k] = SeriesWriter::SampleCounts(4096, k);
    spectra[2].push_back(999); // a 4097th value is ignored
    const test::Registers registers = test::StampedRegisters(test::StampSource::Utc, 2019, 12, 5, 14, 3, 22);
    const std::string path = folder_.File("t_0001.qps");
    SeriesWriter::WriteQps(path, spectra, registers, true);
    ASSERT_TRUE(SpectrumFileReader::ReadMultiSpectrumFile(path, *buffers_));
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(
            std::equal(spectra[k].begin(), spectra[k].begin() + 4096, buffers_->counts.begin() + k * 4096))
            << "spectrum " << k;
    EXPECT_EQ(buffers_->registers, registers);
}

TEST_F(SpectrumFileReaderTest, FourSpectrumTagsOpenInAnyCaseAndCloseInLowerCase) {
    buffers_->counts.fill(5);
    const std::string path = Write("t.qps", "<Trelon>\n<SPECTRUM1>\n<data>\n11\n12\n</data>\n</spectrum1>\n"
                                            "<spectrum3>\n<data>\n31\n</data>\n</SPECTRUM3>\n<spectrum2>\n"
                                            "<data>\n21\n</data>\n</spectrum2>\n");
    ASSERT_TRUE(SpectrumFileReader::ReadMultiSpectrumFile(path, *buffers_));
    EXPECT_EQ(buffers_->counts[0], 0u); // a missing spectrum reads as zeros
    EXPECT_EQ(buffers_->counts[4096], 11u);
    EXPECT_EQ(buffers_->counts[4097], 12u);
    // "</SPECTRUM3>" does not close spectrum3, so the next data block is spectrum3's too.
    EXPECT_EQ(buffers_->counts[3 * 4096], 21u);
    EXPECT_EQ(buffers_->counts[2 * 4096], 0u);
}

TEST_F(SpectrumFileReaderTest, AFileThatCannotBeReadReportsFalse) {
    buffers_->counts.fill(5);
    EXPECT_FALSE(SpectrumFileReader::ReadSingleSpectrumFile(folder_.File("missing.qxs"), *buffers_));
    EXPECT_EQ(buffers_->counts[0], 5u);
    const std::string directory = folder_.File("run_0002.qxs");
    ASSERT_EQ(::mkdir(directory.c_str(), 0755), 0);
    EXPECT_FALSE(SpectrumFileReader::ReadMultiSpectrumFile(directory, *buffers_));
}

} // namespace
} // namespace kettrim
