#include "support/ConversionFixture.h"

#include <filesystem>

namespace kettrim {
namespace {

using test::Choices;
using test::CrLfLines;
using Lines = std::vector<std::string>;

class ConversionGolden : public test::ConversionFixture {
protected:
    // Rows "r, 0,0,..." (or "0,0,...") from `from` up to `to`, for `columns` files.
    static void AddZeroRows(Lines& rows, int from, int to, int columns, bool channel) {
        for (int r = from; r < to; ++r) {
            std::string row = channel ? std::to_string(r) + ", 0" : "0";
            for (int c = 1; c < columns; ++c)
                row += ",0";
            rows.push_back(row);
        }
    }
};

TEST_F(ConversionGolden, ATableHasOneColumnPerFileAndTheChannelColumnOnce) {
    WriteQxs("run_0001.qxs", {{0, 12}, {32, 1}, {16383, 7}});
    WriteQxs("run_0002.qxs", {{5, 15}, {33, 2}, {16352, 8}});
    WriteQxs("run_0003.qxs", {{31, 9}, {63, 3}, {16360, 9}});
    test::SeriesWriter::WriteText(Path("run_0000_qxs.csv"), "a temporary table of an earlier run");
    EXPECT_EQ(
        Convert("run_0001.qxs", "run_0003.qxs", {1, Organization::Table, LabelKind::FileNumber, true, "512"}),
        ConversionOutcome::Completed);

    Lines expected = {"Channel,0001,0002,0003", "0, 12,15,9", "1, 1,2,3"};
    AddZeroRows(expected, 2, 511, 3, true);
    expected.push_back("511, 7,8,9");
    EXPECT_EQ(Read("run_0001_to_0003_+1_qxs.csv"), CrLfLines(expected));
    EXPECT_EQ(Names(),
              (Lines{"run_0001.qxs", "run_0001_to_0003_+1_qxs.csv", "run_0002.qxs", "run_0003.qxs"}));
    Lines lines = {"Start Conversion"};
    for (const std::string& line : ProcessingLines({"run_0001.qxs", "run_0002.qxs", "run_0003.qxs"}))
        lines.push_back(line);
    lines.push_back("Conversion Completed Successfully!");
    EXPECT_EQ(host_.lines, lines);
    EXPECT_TRUE(host_.errors.empty());
}

TEST_F(ConversionGolden, TheSameFileWithANumberIsASeriesOfOne) {
    WriteQxs("run_0005.qxs", {{0, 4}, {16383, 6}});
    EXPECT_EQ(Convert("run_0005.qxs", "run_0005.qxs"), ConversionOutcome::Completed);
    Lines expected = {"run_0005", "4"};
    AddZeroRows(expected, 1, 16383, 1, false);
    expected.push_back("6");
    EXPECT_EQ(Read("run_0005_to_0005_+1_qxs.csv"), CrLfLines(expected));
    EXPECT_EQ(Names(), (Lines{"run_0005.qxs", "run_0005_to_0005_+1_qxs.csv"}));
}

TEST_F(ConversionGolden, TheSameFileWithoutANumberIsConvertedAloneUnderItsTitle) {
    WriteQxs("single.qxs", {{0, 3}, {100, 5}});
    for (Organization organization : {Organization::Table, Organization::IndividualFiles}) {
        for (LabelKind label : {LabelKind::FileName, LabelKind::FileNumber}) {
            host_.lines.clear();
            EXPECT_EQ(Convert("single.qxs", "single.qxs", {1, organization, label, true, "4096"}),
                      ConversionOutcome::Completed);
            EXPECT_EQ(FirstLines("single_qxs.csv", 3), (Lines{"Channel,single", "0, 3", "1, 0"}));
            EXPECT_NE(Read("single_qxs.csv").find("\r\n25, 5\r\n26, 0\r\n"), std::string::npos);
            EXPECT_EQ(Names(), (Lines{"single.qxs", "single_qxs.csv"}));
            EXPECT_EQ(host_.lines, (Lines{"Start Conversion", "Processing:" + Path("single.qxs"),
                                          "Conversion Completed Successfully!"}));
        }
    }
}

TEST_F(ConversionGolden, FirstNumberZeroIsNotASeries) {
    WriteQxs("run_0000.qxs", {});
    WriteQxs("run_0002.qxs", {});
    EXPECT_EQ(Convert("run_0000.qxs", "run_0002.qxs"), ConversionOutcome::Rejected);
    EXPECT_EQ(host_.lines, (Lines{"Start Conversion", "Conversion Aborted due to Errors"}));
    EXPECT_EQ(host_.errors,
              (Lines{"The First File and the Last File are not from the same spectrum log record!\n "
                     "Please correct the FILE SET entries."}));
    EXPECT_EQ(Names(), (Lines{"run_0000.qxs", "run_0002.qxs"}));
}

TEST_F(ConversionGolden, AnIncrementConvertsEveryNthFileButEveryFileMustExist) {
    for (int n = 1; n <= 10; ++n)
        WriteQxs("run_" + std::string(n < 10 ? "000" : "00") + std::to_string(n) + ".qxs",
                 {{0, static_cast<std::uint32_t>(n)}});
    EXPECT_EQ(Convert("run_0001.qxs", "run_0010.qxs",
                      {3, Organization::Table, LabelKind::FileNumber, false, "512"}),
              ConversionOutcome::Completed);
    Lines lines = {"Start Conversion"};
    for (const std::string& line :
         ProcessingLines({"run_0001.qxs", "run_0004.qxs", "run_0007.qxs", "run_0010.qxs"}))
        lines.push_back(line);
    lines.push_back("Conversion Completed Successfully!");
    EXPECT_EQ(host_.lines, lines);
    EXPECT_EQ(FirstLines("run_0001_to_0010_+3_qxs.csv", 3),
              (Lines{"0001,0004,0007,0010", "1,4,7,10", "0,0,0,0"}));

    host_.lines.clear();
    EXPECT_EQ(
        Convert("run_0001.qxs", "run_0010.qxs", {4, Organization::Table, LabelKind::FileName, false, ""}),
        ConversionOutcome::Completed);
    EXPECT_EQ(host_.lines.size(), 5u); // files 1, 5 and 9
    EXPECT_EQ(FirstLines("run_0001_to_0010_+4_qxs.csv", 2), (Lines{"run_0001,run_0005,run_0009", "1,5,9"}));

    // File 5 is not converted with an increment of 3, but the series must still hold it.
    std::filesystem::remove(Path("run_0005.qxs"));
    std::filesystem::remove(Path("run_0001_to_0010_+3_qxs.csv"));
    host_.lines.clear();
    EXPECT_EQ(
        Convert("run_0001.qxs", "run_0010.qxs", {3, Organization::Table, LabelKind::FileName, false, ""}),
        ConversionOutcome::Rejected);
    EXPECT_EQ(host_.lines, (Lines{"Start Conversion", "Conversion Aborted"}));
    EXPECT_EQ(host_.errors, (Lines{"Broken Spectrum Log Sequence!\n Missing File: " + Path("run_0005.qxs")}));
    EXPECT_FALSE(std::filesystem::exists(Path("run_0001_to_0010_+3_qxs.csv")));
}

TEST_F(ConversionGolden, ADescendingSeriesIsConvertedFromTheFirstFileDown) {
    Lines names;
    for (int n = 10; n >= 1; --n) {
        names.push_back("run_" + std::string(n < 10 ? "000" : "00") + std::to_string(n) + ".qxs");
        WriteQxs(names.back(), {{0, static_cast<std::uint32_t>(n * 10)}});
    }
    EXPECT_EQ(
        Convert(names.front(), names.back(), {1, Organization::Table, LabelKind::FileNumber, false, "512"}),
        ConversionOutcome::Completed);
    Lines expected = {"0010,0009,0008,0007,0006,0005,0004,0003,0002,0001", "100,90,80,70,60,50,40,30,20,10"};
    AddZeroRows(expected, 1, 512, 10, false);
    EXPECT_EQ(Read("run_0010_to_0001_+1_qxs.csv"), CrLfLines(expected));
    Lines lines = {"Start Conversion"};
    for (const std::string& line : ProcessingLines(names))
        lines.push_back(line);
    lines.push_back("Conversion Completed Successfully!");
    EXPECT_EQ(host_.lines, lines);
}

TEST_F(ConversionGolden, Size1024SumsSixteenChannelsIntoEachRow) {
    test::Counts counts(16384);
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint32_t>(i);
    test::SeriesWriter::WriteQxs(Path("run_0001.qxs"), counts, Stamp(0));
    test::SeriesWriter::WriteQxs(Path("run_0002.qxs"), counts, Stamp(1));
    EXPECT_EQ(Convert("run_0001.qxs", "run_0002.qxs",
                      {1, Organization::IndividualFiles, LabelKind::None, false, "1024"}),
              ConversionOutcome::Completed);
    Lines expected;
    for (int r = 0; r < 1024; ++r)
        expected.push_back(std::to_string(256 * r + 120)); // 16r + (16r + 1) + ... + (16r + 15)
    EXPECT_EQ(Read("run_0001_qxs.csv"), CrLfLines(expected));
    EXPECT_EQ(Read("run_0002_qxs.csv"), CrLfLines(expected));
    EXPECT_EQ(Names(), (Lines{"run_0001.qxs", "run_0001_qxs.csv", "run_0002.qxs", "run_0002_qxs.csv"}));
}

TEST_F(ConversionGolden, Qps128GivesFourSegmentsOf128RowsOfThirtyTwoChannels) {
    for (int n = 1; n <= 2; ++n) {
        std::array<test::Counts, 4> spectra;
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 4096; ++i)
                spectra[k].push_back(static_cast<std::uint32_t>(k * 10000 + i + n - 1));
        test::SeriesWriter::WriteQps(Path("t_000" + std::to_string(n) + ".qps"), spectra, Stamp(n));
    }
    EXPECT_EQ(Convert("t_0001.qps", "t_0002.qps", {1, Organization::Table, LabelKind::FileName, true, "128"}),
              ConversionOutcome::Completed);
    Lines expected = {"Channel,t_0001,t_0002"};
    for (int k = 0; k < 4; ++k) {
        expected.push_back("S" + std::to_string(k));
        for (int j = 0; j < 128; ++j) {
            const int sum = 32 * k * 10000 + 1024 * j + 496;
            expected.push_back(std::to_string(j) + ", " + std::to_string(sum) + "," +
                               std::to_string(sum + 32));
        }
    }
    EXPECT_EQ(Read("t_0001_to_0002_+1_qps.csv"), CrLfLines(expected));
}

TEST_F(ConversionGolden, StampLabelsAndElapsedSeconds) {
    WriteQxs("run_0001.qxs", {}, test::StampedRegisters(test::StampSource::Utc, 2019, 12, 5, 14, 3, 22));
    WriteQxs("run_0002.qxs", {}, test::StampedRegisters(test::StampSource::Utc, 2019, 12, 5, 14, 5, 22));
    WriteQxs("run_0003.qxs", {}, test::StampedRegisters(test::StampSource::Utc, 2019, 12, 5, 15, 3, 22));
    test::Registers noStamp = test::StampedRegisters(test::StampSource::Local, 2000, 1, 1, 0, 0, 0);
    noStamp[23] = 0x1234; // a year field of 0 ignores the other fields
    WriteQxs("run_0004.qxs", {}, noStamp);

    EXPECT_EQ(Convert("run_0001.qxs", "run_0003.qxs",
                      {1, Organization::Table, LabelKind::ElapsedTime, false, "512"}),
              ConversionOutcome::Completed);
    EXPECT_EQ(FirstLines("run_0001_to_0003_+1_qxs.csv", 1), (Lines{"0,120,3600"}));

    EXPECT_EQ(
        Convert("run_0003.qxs", "run_0004.qxs", {1, Organization::Table, LabelKind::TimeStamp, false, "512"}),
        ConversionOutcome::Completed);
    EXPECT_EQ(FirstLines("run_0003_to_0004_+1_qxs.csv", 1),
              (Lines{"UTC 05-DEC-2019 15:03:22,LOCAL 01-JAN-2000 00:00:00"}));
}

TEST_F(ConversionGolden, AHandWrittenFileWithBlanksSignsAndExcessValues) {
    std::string text = "<spectrum>\r\n  <data>\r\n + 123\r\n";
    for (int i = 1; i < 16390; ++i)
        text += std::to_string(i % 3) + "\r\n";
    text += "  </data>\r\n</spectrum>\r\n";
    test::SeriesWriter::WriteText(Path("hand.qxs"), text);
    EXPECT_EQ(Convert("hand.qxs", "hand.qxs", {1, Organization::Table, LabelKind::None, false, "16384"}),
              ConversionOutcome::Completed);
    Lines expected = {"123"};
    for (int i = 1; i < 16384; ++i)
        expected.push_back(std::to_string(i % 3));
    EXPECT_EQ(Read("hand_qxs.csv"), CrLfLines(expected));
}

} // namespace
} // namespace kettrim
