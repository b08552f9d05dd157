#include "cli/OrvaneCli.h"
#include "session/ParameterMap.h"
#include "shell/SystemClock.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumExporter.h"
#include "spectrum/SpectrumFileReader.h"
#include "spectrum/SpectrumFileWriter.h"
#include "support/CliRun.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvane {
namespace {

using test::ReadAll;
using test::SplitLines;
using test::TempDir;
using test::WriteAll;

using test::CliRun;
using test::Orvane;

// A Kiramo-II-SP file with hard 4096, soft 1024, ROI 10..20 and 30, two calibration points on input B.
std::string WriteSample(const TempDir& dir, const std::string& name = "run.qxs") {
    CSpectrum s(false);
    s.SetShown(true);
    for (int h = 0; h < 4096; ++h)
        s.HardCounts()[h] = static_cast<std::uint32_t>(h % 50);
    for (int h = 10; h <= 20; ++h)
        s.HardMarks()[h] = 1;
    s.HardMarks()[30] = 1;
    s.SetSizes(4096, 1024);
    s.Image().Set(reg::kPlatform, 0x3008);
    s.Image().Set(reg::kInput, 1 << 14);
    s.Image().Set(reg::kControl, 1 << 11);
    s.Image().Set(reg::kStartDate, EncodeDateWord(2026, 3, 9));
    s.Image().Set(reg::kStartTime, EncodeTimeWord(14, 2, 36));
    s.Image().SetPair(reg::kRealTime, 12345);
    s.Image().Set(127, 0xABCD);
    s.SetTag("cs-137 \"calib\"");
    s.MutableReadings().serialNumber = 42;
    s.MutableReadings().firmwareVersion = 250;
    s.MutableReadings().adcTemperature = 0.75;
    CalibrationSet& cal = s.StoredCalibration(1);
    cal.count = 2;
    cal.channel[0] = 100;
    cal.energy[0] = 32;
    cal.channel[1] = 2600;
    cal.energy[1] = 661.657;
    cal.use[0] = cal.use[1] = 1;
    cal.enabled = 1;
    cal.units = 2;
    test::ScriptedHost host;
    const std::string path = dir.File(name);
    EXPECT_TRUE(SpectrumFileWriter(host).Save(s, path));
    return path;
}

TEST(OrvaneInfo, PrintsTheLoadedRecordAsJson) {
    TempDir dir;
    const std::string path = WriteSample(dir);
    const CliRun r = Orvane({"info", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::string& j = r.out;
    for (const std::string& part : {
             std::string("\"hardSize\": 4096,"),
             std::string("\"softSize\": 1024,"),
             std::string("\"binningFactor\": 4,"),
             std::string("\"counts\": [0, 1, 2, 3,"),
             std::string("\"softCounts\": [6, 22, 38,"),
             std::string("\"roi\": [\n    [10, 20],\n    [30, 30]\n  ],"),
             std::string("\"tag\": \"cs-137 \\\"calib\\\"\","),
             std::string("\"title\": \"FILE: run.qxs  (cs-137 \\\"calib\\\")\","),
             std::string("\"serialNumber\": 42,"),
             std::string("\"firmwareVersion\": 250,"),
             std::string("\"firmware\": \"2.50\","),
             std::string("\"platformCode\": 1,"),
             std::string("\"model\": \"Kiramo-II-SP\","),
             std::string("\"spFlag\": 1,"),
             std::string("\"selectedInput\": \"B\","),
             std::string(", 43981]"),
             std::string("\"adcTemperature\": 0.75,"),
             std::string("\"realSeconds\": 123.45,"),
             std::string("\"startText\": \"09/03/2026  14:02:36\","),
             std::string("\"startLabel\": \"START TIME: SYSTEM\""),
             std::string("\"points\": [\n          {\n            \"channel\": 100,"),
         })
        EXPECT_NE(j.find(part), std::string::npos) << part;
    EXPECT_EQ(j.front(), '{');
    EXPECT_EQ(j.substr(j.size() - 2), "}\n");
    const std::size_t inputB = j.find("\"inputB\"");
    ASSERT_NE(inputB, std::string::npos);
    EXPECT_NE(j.find("\"count\": 2,", inputB), std::string::npos);
    EXPECT_NE(j.find("\"energy\": 661.657,", inputB), std::string::npos);
    EXPECT_NE(j.find("\"unitName\": \"keV\","), std::string::npos);
}

TEST(OrvaneInfo, BadArgumentsAndUnreadableFiles) {
    EXPECT_EQ(Orvane({"info"}).status, 2);
    EXPECT_EQ(Orvane({"info", "a", "b"}).status, 2);
    EXPECT_EQ(Orvane({"info", "--what", "a"}).status, 2);
    const CliRun missing = Orvane({"info", "/nonexistent/run.qxs"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "orvane info: Error: Unable to Open File\n");
    EXPECT_TRUE(missing.out.empty());
}

TEST(OrvaneExport, RunsTheAnalyzersOwnExports) {
    TempDir dir;
    const std::string path = WriteSample(dir);
    test::ScriptedHost host;
    CSpectrum expected(true);
    expected.SetShown(true);
    ASSERT_TRUE(SpectrumFileReader(host).Load(expected, path, "run.qxs"));

    ASSERT_EQ(Orvane({"export", path, "--csv", "--hard", "-o", dir.File("hard.csv")}).status, 0);
    EXPECT_EQ(ReadAll(dir.File("hard.csv")), SpectrumExporter::FormatCsv(expected, true));
    ASSERT_EQ(Orvane({"export", path, "--chn", "--soft", "-o", dir.File("soft.chn")}).status, 0);
    EXPECT_EQ(ReadAll(dir.File("soft.chn")), SpectrumExporter::FormatChn(expected, false));
    EXPECT_EQ(ReadAll(dir.File("soft.chn")).size(), 32u + 4 * 1024) << "the file's soft size";

    ASSERT_EQ(
        Orvane({"export", path, "--csv", "--soft", "--soft-size", "512", "-o", dir.File("512.csv")}).status,
        0);
    const std::vector<std::string> lines = SplitLines(ReadAll(dir.File("512.csv")));
    ASSERT_EQ(lines.size(), 8u + 512);
    EXPECT_EQ(lines[8], "0, " + std::to_string(0 + 1 + 2 + 3 + 4 + 5 + 6 + 7));
    EXPECT_EQ(lines[1], "Date [dd/mm/yyyy], SYSTEM,09/03/2026");

    // 8192 is offered but above the hard size: the SOFT selector's clamp gives 4096.
    ASSERT_EQ(
        Orvane({"export", path, "--chn", "--soft", "--soft-size", "8192", "-o", dir.File("8192.chn")}).status,
        0);
    EXPECT_EQ(ReadAll(dir.File("8192.chn")).size(), 32u + 4 * 4096);
}

TEST(OrvaneExport, ArgumentsAndAnExistingOutput) {
    TempDir dir;
    const std::string path = WriteSample(dir);
    const std::string out = dir.File("out.csv");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"export", path, "--hard", "-o", out},
             {"export", path, "--csv", "--chn", "--hard", "-o", out},
             {"export", path, "--csv", "-o", out},
             {"export", path, "--csv", "--hard", "--soft", "-o", out},
             {"export", path, "--csv", "--hard"},
             {"export", "--csv", "--hard", "-o", out},
             {"export", path, "--csv", "--soft", "--soft-size", "600", "-o", out},
             {"export", path, "--csv", "--soft", "--soft-size", "1024x", "-o", out},
             {"export", path, "--csv", "--hard", "--soft-size", "1024", "-o", out},
             {"export", path, "--csv", "--soft", "--soft-size"},
         }) {
        const CliRun r = Orvane(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_NE(r.err.find("Usage: orvane export"), std::string::npos);
    }
    EXPECT_FALSE(PathExists(out));

    WriteAll(out, "precious");
    const CliRun refused = Orvane({"export", path, "--csv", "--hard", "-o", out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(ReadAll(out), "precious");
    ASSERT_EQ(Orvane({"export", path, "--csv", "--hard", "-o", out, "--force"}).status, 0);
    EXPECT_EQ(ReadAll(out).substr(0, 18), "Exported Spectrum\n");

    const CliRun unwritable = Orvane({"export", path, "--chn", "--hard", "-o", "/proc/out.chn"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "orvane export: Error: Unable to Export File\n");
    EXPECT_EQ(Orvane({"export", dir.File("missing.qxs"), "--chn", "--hard", "-o", dir.File("x")}).status, 1);
}

TEST(OrvaneRegfile, PrintsThe128WordsTheFileLoads) {
    TempDir dir;
    WriteAll(dir.File("short.rgv"),
             "<registers>\n  <size>3</size>\n  <data>\n65535\n1\n42\n  </data>\n</registers>\n");
    const CliRun r = Orvane({"regfile", dir.File("short.rgv")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(lines[0], "  0 0xFFFF 65535");
    EXPECT_EQ(lines[1], "  1 0x0001     1");
    EXPECT_EQ(lines[2], "  2 0x002A    42");
    EXPECT_EQ(lines[3], "  3 0x001E    30") << "words the file does not give keep 10 × i";
    EXPECT_EQ(lines[127], "127 0x04F6  1270");

    const std::string spectrum = WriteSample(dir);
    const std::vector<std::string> fromSpectrum = SplitLines(Orvane({"regfile", spectrum}).out);
    ASSERT_EQ(fromSpectrum.size(), 128u);
    EXPECT_EQ(fromSpectrum[15], " 15 0x3008 12296");
    EXPECT_EQ(fromSpectrum[127], "127 0xABCD 43981");

    EXPECT_EQ(Orvane({"regfile"}).status, 2);
    const CliRun missing = Orvane({"regfile", dir.File("none.rgv")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "orvane regfile: Error: Unable to Open File\n");
}

TEST(OrvaneHelp, ListsTheFileCommands) {
    const CliRun r = Orvane({"help"});
    EXPECT_NE(r.out.find("info FILE"), std::string::npos);
    EXPECT_NE(r.out.find("export FILE (--csv|--chn) (--hard|--soft [--soft-size N]) -o OUT [--force]"),
              std::string::npos);
    EXPECT_NE(r.out.find("regfile FILE"), std::string::npos);
}

} // namespace
} // namespace orvane
