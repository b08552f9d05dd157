#include "spectrum/SpectrumExporter.h"
#include "session/ParameterMap.h"
#include "support/FailingFileIo.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvane {
namespace {

using test::ReadAll;
using test::ScriptedHost;
using test::SplitLines;
using test::TempDir;
using test::WriteAll;

// A shown record with a start stamp, 600 s real and 598.1234 s live time (clock code 0).
CSpectrum Measured(int year, int month, int day, int hour, int minute, int second, int kindBit) {
    CSpectrum s(true);
    s.SetShown(true);
    s.Image().Set(reg::kPlatform, 0x1000);
    if (kindBit >= 0)
        s.Image().SetBit(reg::kControl, kindBit, true);
    s.Image().Set(reg::kStartDate, EncodeDateWord(year, month, day));
    s.Image().Set(reg::kStartTime, EncodeTimeWord(hour, minute, second));
    s.Image().SetPair(reg::kRealTime, 60000);
    s.Image().SetPair(reg::kLiveTime, 59812);
    s.Image().Set(reg::kLiveFraction, 17000);
    for (int h = 0; h < CSpectrum::kChannels; ++h)
        s.HardCounts()[h] = static_cast<std::uint32_t>(17 * h);
    s.SetTag("run 7");
    return s;
}

std::int32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

std::int16_t Le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

TEST(ExportCsv, TheFirstLinesOfAUtcStart) {
    CSpectrum s = Measured(2026, 12, 9, 14, 2, 36, 10);
    const std::vector<std::string> lines = SplitLines(SpectrumExporter::FormatCsv(s, true));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Exported Spectrum");
    EXPECT_EQ(lines[1], "Date [dd/mm/yyyy], UTC,09/12/2026");
    EXPECT_EQ(lines[2], "Time [hh:mm:ss], UTC, 14:02:36");
    EXPECT_EQ(lines[3], "TAG,run 7");
    EXPECT_EQ(lines[4], "Real Time[s],   600.0000");
    EXPECT_EQ(lines[5], "Live Time[s],   598.1234");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "Channel, Counts");
    EXPECT_EQ(lines[8], "0, 0");
    EXPECT_EQ(lines[9], "1, 17");
    EXPECT_EQ(SpectrumExporter::FormatCsv(s, true).find('\r'), std::string::npos);
}

TEST(ExportCsv, StartKindsAndAMeasurementNotYetStarted) {
    CSpectrum system = Measured(2026, 3, 9, 1, 2, 4, 11);
    EXPECT_EQ(SplitLines(SpectrumExporter::FormatCsv(system, true))[1],
              "Date [dd/mm/yyyy], SYSTEM,09/03/2026");
    CSpectrum waiting(false);
    const std::vector<std::string> lines = SplitLines(SpectrumExporter::FormatCsv(waiting, true));
    EXPECT_EQ(lines[1], "Date [dd/mm/yyyy], LOCAL,WAITING");
    EXPECT_EQ(lines[2], "Time [hh:mm:ss], LOCAL,FOR START");
    EXPECT_EQ(lines[3], "TAG,Orvane-MCA spectrum");
    EXPECT_EQ(lines[4], "Real Time[s],     0.0000");
}

TEST(ExportCsv, HardAndSoftSizes) {
    TempDir dir;
    ScriptedHost host;
    CSpectrum s = Measured(2026, 12, 9, 14, 2, 36, 10);
    s.SetSizes(2048, 1489);
    ASSERT_TRUE(SpectrumExporter(host).ExportCsv(s, dir.File("hard.csv"), true));
    ASSERT_TRUE(SpectrumExporter(host).ExportCsv(s, dir.File("soft.csv"), false));
    std::vector<std::string> hard = SplitLines(ReadAll(dir.File("hard.csv")));
    ASSERT_EQ(hard.size(), 8u + 2048);
    EXPECT_EQ(hard.back(), "2047, " + std::to_string(17 * 2047));
    std::vector<std::string> soft = SplitLines(ReadAll(dir.File("soft.csv")));
    ASSERT_EQ(soft.size(), 8u + 1489);
    EXPECT_EQ(soft.back(), "1488, " + std::to_string(s.SoftCounts()[1488]));

    s.SetSizes(16384, 1489); // factor 11: soft counts are sums
    const std::vector<std::string> folded = SplitLines(SpectrumExporter::FormatCsv(s, false));
    EXPECT_EQ(folded[9], "1, " + std::to_string(17 * (11 + 21) * 11 / 2));
    EXPECT_TRUE(host.boxes.empty());
}

TEST(ExportCsv, SizesAreClampedIntoTheRecord) {
    ScriptedHost host;
    TempDir dir;
    CSpectrum s(false);
    s.AssignSizes(100, 50);
    ASSERT_TRUE(SpectrumExporter(host).ExportCsv(s, dir.File("x.csv"), false));
    EXPECT_EQ(s.HardSize(), 512);
    EXPECT_EQ(s.SoftSize(), 512);
    EXPECT_EQ(SplitLines(ReadAll(dir.File("x.csv"))).size(), 8u + 512);
}

TEST(ExportChn, HeaderOfAStartOn9March2026At140236) {
    CSpectrum s = Measured(2026, 3, 9, 14, 2, 36, -1);
    s.SetSizes(16384, 4096);
    const std::string chn = SpectrumExporter::FormatChn(s, false);
    ASSERT_EQ(chn.size(), 32u + 4 * 4096);
    EXPECT_EQ(Le16(chn, 0), -1);
    EXPECT_EQ(Le16(chn, 2), 1);
    EXPECT_EQ(Le16(chn, 4), 0);
    EXPECT_EQ(chn.substr(6, 2), "36");
    EXPECT_EQ(Le32(chn, 8), 30000);
    EXPECT_EQ(Le32(chn, 12), 29906); // 598.1234 × 50, truncated
    EXPECT_EQ(chn.substr(16, 8), "09MAR261");
    EXPECT_EQ(chn.substr(24, 4), "1402");
    EXPECT_EQ(Le16(chn, 28), 0);
    EXPECT_EQ(Le16(chn, 30), 4096);
    EXPECT_EQ(static_cast<std::uint32_t>(Le32(chn, 32 + 4 * 1)), s.SoftCounts()[1]);
    EXPECT_EQ(static_cast<std::uint32_t>(Le32(chn, 32 + 4 * 4095)), s.SoftCounts()[4095]);

    const std::string hard = SpectrumExporter::FormatChn(s, true);
    ASSERT_EQ(hard.size(), 32u + 4 * 16384);
    EXPECT_EQ(Le16(hard, 30), 16384);
    EXPECT_EQ(static_cast<std::uint32_t>(Le32(hard, 32 + 4 * 16383)), 17u * 16383);
}

TEST(ExportChn, MonthNamesAndAMonthOutOfRange) {
    const char* expected[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_STREQ(SpectrumExporter::MonthName(m), expected[m - 1]);
    EXPECT_STREQ(SpectrumExporter::MonthName(0), "???");
    EXPECT_STREQ(SpectrumExporter::MonthName(13), "???");
    CSpectrum notStarted(false); // date word 0: month 0, year 2000
    EXPECT_EQ(SpectrumExporter::FormatChn(notStarted, true).substr(16, 8), "00???001");
    CSpectrum s = Measured(2026, 1, 31, 23, 59, 58, -1);
    s.Image().Set(reg::kStartDate, static_cast<std::uint16_t>((26 << 9) | (15 << 5) | 31));
    EXPECT_EQ(SpectrumExporter::FormatChn(s, true).substr(16, 8), "31???261");
    EXPECT_EQ(SpectrumExporter::FormatChn(s, true).substr(24, 4), "2359");
    EXPECT_EQ(SpectrumExporter::FormatChn(s, true).substr(6, 2), "58");
}

TEST(Exports, TimesComeFromTheExportedRecord) {
    CSpectrum a = Measured(2026, 3, 9, 14, 2, 36, 10);
    CSpectrum b = Measured(2025, 7, 1, 8, 0, 0, 11);
    b.Image().SetPair(reg::kRealTime, 100);
    EXPECT_EQ(SplitLines(SpectrumExporter::FormatCsv(b, true))[4], "Real Time[s],     1.0000");
    EXPECT_EQ(SplitLines(SpectrumExporter::FormatCsv(a, true))[4], "Real Time[s],   600.0000");
    EXPECT_EQ(Le32(SpectrumExporter::FormatChn(b, true), 8), 50);
}

TEST(Exports, FailuresShowTheirMessagesAndKeepThePreviousFile) {
    TempDir dir;
    WriteAll(dir.File("plain"), "x");
    CSpectrum s = Measured(2026, 3, 9, 14, 2, 36, 10);
    {
        ScriptedHost host;
        EXPECT_FALSE(SpectrumExporter(host).ExportCsv(s, dir.File("plain/a.csv"), true));
        EXPECT_FALSE(SpectrumExporter(host).ExportChn(s, "/proc/a.chn", true));
        EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Unable to Save File", "Unable to Export File"}));
        EXPECT_EQ(host.boxes[1].caption, "Error");
        EXPECT_EQ(host.boxes[1].icon, MessageIcon::Stop);
    }
    WriteAll(dir.File("old.csv"), "old csv");
    WriteAll(dir.File("old.chn"), "old chn");
    ScriptedHost host;
    test::FailingFileIo full;
    full.spaceLeft = 1000;
    EXPECT_FALSE(SpectrumExporter(host, full).ExportCsv(s, dir.File("old.csv"), true));
    full.spaceLeft = 1000;
    EXPECT_FALSE(SpectrumExporter(host, full).ExportChn(s, dir.File("old.chn"), true));
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Error Writing to File", "Error Writing to File"}));
    EXPECT_EQ(host.boxes[1].caption, "Error");
    EXPECT_EQ(ReadAll(dir.File("old.csv")), "old csv");
    EXPECT_EQ(ReadAll(dir.File("old.chn")), "old chn");
    EXPECT_EQ(dir.Entries(), 3u);
}

} // namespace
} // namespace orvane
