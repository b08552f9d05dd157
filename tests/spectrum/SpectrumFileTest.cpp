#include "session/ParameterMap.h"
#include "shell/OutputLog.h"
#include "spectrum/SpectrumFileReader.h"
#include "spectrum/SpectrumFileWriter.h"
#include "support/FailingFileIo.h"
#include "support/FakeLoop.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>


namespace orvane {
namespace {

using test::ReadAll;
using test::ScriptedHost;
using test::SplitLines;
using test::TempDir;
using test::WriteAll;

// A shown record with hard 4096, soft 1024, ROI marks on 100..110 and 2000..2003, three calibration points
// on input A, a UTC start and 600 s real time.
CSpectrum SampleRecord() {
    CSpectrum s(false);
    s.SetShown(true);
    for (int h = 0; h < 4096; ++h)
        s.HardCounts()[h] = static_cast<std::uint32_t>((h * 7919) % 100003);
    s.HardCounts()[4095] = 0xFFFFFFFFu;
    for (int h = 100; h <= 110; ++h)
        s.HardMarks()[h] = 1;
    for (int h = 2000; h <= 2003; ++h)
        s.HardMarks()[h] = 1;
    s.SetSizes(4096, 1024);
    for (int k = 0; k < 128; ++k)
        s.Image().Set(k, static_cast<std::uint16_t>(1000 + 37 * k));
    s.Image().Set(reg::kPlatform, 0x1000); // Kiramo, clock code 0
    s.Image().Set(reg::kControl, 1 << 10);
    s.Image().Set(reg::kInput, 0); // input A selected
    s.Image().Set(reg::kStartDate, EncodeDateWord(2026, 12, 9));
    s.Image().Set(reg::kStartTime, EncodeTimeWord(14, 2, 36));
    s.Image().SetPair(reg::kRealTime, 60000);
    s.Image().Set(reg::kRealFraction, 0);
    s.Image().SetPair(reg::kLiveTime, 59812);
    s.Image().Set(reg::kLiveFraction, 17000);
    s.Image().Set(reg::kTimeConstants, 0x3A);
    s.SetPlatformCode(kPlatformKiramo);
    s.SetTag("run 7  with  spaces");
    Readings r;
    r.serialNumber = 42;
    r.firmwareVersion = 205;
    r.internalTemperature = -3;
    r.adcTemperature = 1.25;
    r.bias = 120;
    r.coolingPercent = 55;
    s.StoreReadings(r);
    CalibrationSet& cal = s.StoredCalibration(0);
    cal.enabled = 1;
    cal.units = 2;
    cal.count = 3;
    cal.useAll = 0;
    const double channels[] = {400.0, 1200.5, 3600.25}, energies[] = {59.5, 122.0612, 661.657};
    for (int i = 0; i < 3; ++i) {
        cal.channel[i] = channels[i];
        cal.energy[i] = energies[i];
        cal.use[i] = i == 1 ? 0 : 1;
    }
    return s;
}

struct Loaded {
    ScriptedHost host;
    CSpectrum record{false};
    Loaded() { record.SetShown(true); }
    void Text(const std::string& text, const std::string& name = "file.qxs") {
        SpectrumFileReader(host).LoadText(record, text, name);
    }
};

// A minimal file: the given spectrum block lines and a register block.
std::string File(const std::vector<std::string>& spectrum, const std::string& after = "") {
    std::string text = "<?xml version=\"1.0\"?>\n<Kiramo>\n<spectrum>\n";
    for (const std::string& line : spectrum)
        text += line + "\n";
    text += "</spectrum>\n" + after + "</Kiramo>\n";
    return text;
}

TEST(SpectrumFileWriter, WritesTheFixedLinesByteForByte) {
    CSpectrum s = SampleRecord();
    const std::string text = SpectrumFileWriter::Format(s);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 8u + 4096 + 11 + 128 + 2 + 3 + 9 + 2 + 4 + 1);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\"?>");
    EXPECT_EQ(lines[1], "<Kiramo>");
    EXPECT_EQ(lines[2], " <serialnumber>00042</serialnumber>");
    EXPECT_EQ(lines[3], "<spectrum>");
    EXPECT_EQ(lines[4], "  <tag>run 7  with  spaces</tag>");
    EXPECT_EQ(lines[5], "  <hardsize>4096</hardsize>");
    EXPECT_EQ(lines[6], "  <softsize>1024</softsize>");
    EXPECT_EQ(lines[7], "  <data>");
    EXPECT_EQ(lines[8], "0");
    EXPECT_EQ(lines[8 + 1], "7919");
    EXPECT_EQ(lines[8 + 100], "+" + std::to_string((100 * 7919) % 100003));
    EXPECT_EQ(lines[8 + 111], std::to_string((111 * 7919) % 100003));
    EXPECT_EQ(lines[8 + 4095], "4294967295");
    std::size_t i = 8 + 4096;
    EXPECT_EQ(lines[i++], "  </data>");
    EXPECT_EQ(lines[i++], "</spectrum>");
    EXPECT_EQ(lines[i++], "<time>");
    EXPECT_EQ(lines[i++], "  <real>  600.0000</real>");
    EXPECT_EQ(lines[i++], "  <live>  598.1234</live>");
    EXPECT_EQ(lines[i++], "  <dead>    0.3128</dead>");
    EXPECT_EQ(lines[i++], "  <date>09/12/2026  14:02:36</date>");
    EXPECT_EQ(lines[i++], "</time>");
    EXPECT_EQ(lines[i++], "<registers>");
    EXPECT_EQ(lines[i++], "  <size>128</size>");
    EXPECT_EQ(lines[i++], "  <data>");
    EXPECT_EQ(lines[i], "1000");
    EXPECT_EQ(lines[i + 127], std::to_string(1000 + 37 * 127));
    i += 128;
    EXPECT_EQ(lines[i++], "  </data>");
    EXPECT_EQ(lines[i++], "</registers>");
    EXPECT_EQ(lines[i++], "<calibration>");
    EXPECT_EQ(lines[i++], "  <enabled>YES</enabled>");
    EXPECT_EQ(lines[i++], "  <units>2</units>");
    EXPECT_EQ(lines[i++], "  <channelA>  400.0000</channelA>");
    EXPECT_EQ(lines[i++], "  <energyA>   59.5000</energyA>");
    EXPECT_EQ(lines[i++], "  <useA>1</useA>");
    EXPECT_EQ(lines[i++], "  <channelB> 1200.5000</channelB>");
    EXPECT_EQ(lines[i++], "  <energyB>  122.0612</energyB>");
    EXPECT_EQ(lines[i++], "  <useB>0</useB>");
    EXPECT_EQ(lines[i++], "  <channelC> 3600.2500</channelC>");
    EXPECT_EQ(lines[i++], "  <energyC>  661.6570</energyC>");
    EXPECT_EQ(lines[i++], "  <useC>1</useC>");
    EXPECT_EQ(lines[i++], "  <useall>NO</useall>");
    EXPECT_EQ(lines[i++], "</calibration>");
    EXPECT_EQ(lines[i++], "<volatile>");
    EXPECT_EQ(lines[i++], "  <firmware> 2.05</firmware>");
    EXPECT_EQ(lines[i++], "  <intemp>-3</intemp>");
    EXPECT_EQ(lines[i++], "  <slowadvc> 1.25</slowadc>");
    EXPECT_EQ(lines[i++], "</Kiramo>");
    EXPECT_EQ(i, lines.size());
    EXPECT_EQ(text.back(), '\n');
}

TEST(SpectrumFileWriter, VeluskWritesItsTemperatureBiasAndCooling) {
    CSpectrum s = SampleRecord();
    s.SetPlatformCode(kPlatformVelusk);
    const std::string text = SpectrumFileWriter::Format(s);
    EXPECT_NE(text.find("<Velusk>\n"), std::string::npos);
    EXPECT_NE(text.find("<volatile>\n  <firmware> 2.05</firmware>\n  <intemp>-3</intemp>\n"
                        "  <adctemp> 1.25</adctemp>\n  <bias>120</bias>\n  <cpwr>55</cpwr>\n</Velusk>\n"),
              std::string::npos);
    EXPECT_EQ(text.find("slowadvc"), std::string::npos);
}

TEST(SpectrumFileWriter, RootElementFollowsPlatformSpFlagAndClockCode) {
    struct Case {
        int platform, sp;
        std::uint16_t r15;
        const char* root;
    } cases[] = {
        {0, 0, 0x0008, "Velusk"},    {0, 1, 0x0000, "Velusk"}, {1, 0, 0x1008, "Kiramo-II"},
        {1, 0, 0x1000, "Kiramo"},    {1, 0, 0x100C, "Kiramo"}, {1, 1, 0x3008, "Kiramo-II-SP"},
        {1, 1, 0x3004, "Kiramo-SP"}, {2, 0, 0x2008, "Dravon"}, {9999, 0, 0x0E00, "Kiramo"},
        {9999, 1, 0x0E08, "Kiramo"}, {7, 0, 0x1008, "Kiramo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root);
        CSpectrum s(false);
        s.SetPlatformCode(c.platform);
        s.SetSpFlag(c.sp);
        s.Image().Set(15, c.r15);
        EXPECT_EQ(SpectrumFileWriter::RootName(s), c.root);
        const std::string text = SpectrumFileWriter::Format(s);
        EXPECT_EQ(text.substr(22, std::string(c.root).size() + 3), std::string("<") + c.root + ">\n");
        EXPECT_EQ(text.substr(text.size() - std::string(c.root).size() - 4),
                  std::string("</") + c.root + ">\n");
    }
}

TEST(SpectrumFileWriter, SaveClampsTheHardSizeAndTakesTheCalibrationChecksFirst) {
    TempDir dir;
    ScriptedHost host;
    CSpectrum s(false);
    s.AssignSizes(256, 256);
    SpectrumFileWriter writer(host);
    int hooks = 0;
    writer.SetCalibrationChecksHook([&] {
        ++hooks;
        s.StoredCalibration(0).count = 1;
        s.StoredCalibration(0).use[0] = 1;
    });
    ASSERT_TRUE(writer.Save(s, dir.File("small.qxs")));
    EXPECT_EQ(s.HardSize(), 512);
    EXPECT_EQ(hooks, 1);
    const std::string text = ReadAll(dir.File("small.qxs"));
    EXPECT_NE(text.find("  <hardsize>512</hardsize>\n"), std::string::npos);
    EXPECT_NE(text.find("  <useA>1</useA>\n"), std::string::npos);
    EXPECT_TRUE(host.boxes.empty());
}

TEST(SpectrumFileWriter, ASaveThatCannotWriteKeepsTheOldFile) {
    TempDir dir;
    WriteAll(dir.File("plain"), "not a folder");
    {
        ScriptedHost host;
        CSpectrum s = SampleRecord();
        EXPECT_FALSE(SpectrumFileWriter(host).Save(s, dir.File("plain/run.qxs")));
        EXPECT_FALSE(SpectrumFileWriter(host).Save(s, "/proc/run.qxs"));
        ASSERT_EQ(host.boxes.size(), 2u);
        EXPECT_EQ(host.boxes[0].text, "Unable to Save File");
        EXPECT_EQ(host.boxes[0].caption, "Error");
        EXPECT_EQ(host.boxes[0].icon, MessageIcon::Stop);
    }
    WriteAll(dir.File("run.qxs"), "the previous run");
    for (long long space : {0LL, 5000LL}) {
        ScriptedHost host;
        test::FailingFileIo full;
        full.spaceLeft = space;
        CSpectrum s = SampleRecord();
        EXPECT_FALSE(SpectrumFileWriter(host, full).Save(s, dir.File("run.qxs")));
        ASSERT_EQ(host.boxes.size(), 1u);
        EXPECT_EQ(host.boxes[0].text, "Error Writing to File");
        EXPECT_EQ(host.boxes[0].caption, "Error");
        EXPECT_EQ(ReadAll(dir.File("run.qxs")), "the previous run");
        EXPECT_EQ(dir.Entries(), 2u);
    }
}

TEST(SpectrumFileRoundTrip, WhatComesBackAndWhatDoesNot) {
    TempDir dir;
    ScriptedHost host;
    CSpectrum saved = SampleRecord();
    ASSERT_TRUE(SpectrumFileWriter(host).Save(saved, dir.File("run7.qxs")));

    CSpectrum loaded(false);
    loaded.SetShown(true);
    loaded.SetPlatformCode(kPlatformDravon);
    loaded.StoredCalibration(0).useAll = 0;
    ASSERT_TRUE(SpectrumFileReader(host).Load(loaded, dir.File("run7.qxs"), "run7.qxs"));
    EXPECT_TRUE(host.boxes.empty());

    EXPECT_EQ(loaded.HardSize(), 4096);
    EXPECT_EQ(loaded.SoftSize(), 1024);
    EXPECT_EQ(loaded.BinningFactor(), 4);
    for (int h = 0; h < 4096; ++h) {
        ASSERT_EQ(loaded.HardCounts()[h], saved.HardCounts()[h]) << h;
        ASSERT_EQ(loaded.HardMarks()[h], saved.HardMarks()[h]) << h;
    }
    for (int k = 0; k < 1024; ++k)
        ASSERT_EQ(loaded.SoftCounts()[k], saved.SoftCounts()[k]) << k;
    EXPECT_EQ(loaded.SoftMarks()[25], 1); // hard 100..103
    EXPECT_EQ(loaded.SoftMarks()[27], 0); // hard 108..111, 111 unmarked
    EXPECT_EQ(loaded.SoftMarks()[500], 1);
    EXPECT_EQ(loaded.Tag(), "run 7  with  spaces");
    EXPECT_EQ(loaded.Title(), "FILE: run7.qxs  (run 7  with  spaces)");
    EXPECT_EQ(loaded.GetReadings().serialNumber, 42);
    for (int k = 0; k < 128; ++k)
        EXPECT_EQ(loaded.Image().Get(k), saved.Image().Get(k)) << k;

    const CalibrationSet& cal = loaded.StoredCalibration(0);
    EXPECT_EQ(cal.enabled, 1);
    EXPECT_EQ(cal.units, 2);
    ASSERT_EQ(cal.count, 3);
    EXPECT_DOUBLE_EQ(cal.channel[1], 1200.5);
    EXPECT_DOUBLE_EQ(cal.energy[2], 661.657);
    EXPECT_EQ(cal.use[0], 1);
    EXPECT_EQ(cal.use[1], 0);
    EXPECT_EQ(cal.useAll, 1) << "use-all is not read: \"NO\" comes back as 1";

    // The view is reset to the new soft size.
    EXPECT_EQ(loaded.FirstChannel(), 0);
    EXPECT_EQ(loaded.LastChannel(), 1023);
    EXPECT_EQ(loaded.Cursor(), 512);
    // Firmware rounds back to what was written (a truncation would give 204).
    EXPECT_EQ(loaded.GetReadings().firmwareVersion, 205);
    EXPECT_EQ(loaded.GetReadings().internalTemperature, -3);
    // The slow-ADC line of a Kiramo file is read back although its tags differ.
    EXPECT_DOUBLE_EQ(loaded.GetReadings().adcTemperature, 1.25);
    // Not in a Kiramo file: bias and cooling stay at their reset values.
    EXPECT_EQ(loaded.GetReadings().bias, 0);
    EXPECT_EQ(loaded.GetReadings().coolingPercent, 0);
    // Not part of the file: the platform and the working calibration.
    EXPECT_EQ(loaded.PlatformCode(), kPlatformDravon);
    EXPECT_EQ(loaded.WorkingCalibration(0).count, 0);
}

TEST(SpectrumFileRoundTrip, TheTimeBlockIsNotReadBack) {
    CSpectrum s = SampleRecord();
    std::string text = SpectrumFileWriter::Format(s);
    const std::size_t at = text.find("  <real>  600.0000</real>");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 25, "  <real>  1.0000</real>  ");
    Loaded l;
    l.Text(text);
    EXPECT_EQ(l.record.Image().Pair(reg::kRealTime), 60000u) << "times come from the registers";
}

TEST(SpectrumFileRoundTrip, AVeluskFileKeepsTemperatureBiasAndCooling) {
    CSpectrum s = SampleRecord();
    s.SetPlatformCode(kPlatformVelusk);
    s.MutableReadings().adcTemperature = -21.5;
    s.MutableReadings().bias = -450;
    Loaded l;
    l.Text(SpectrumFileWriter::Format(s));
    EXPECT_DOUBLE_EQ(l.record.GetReadings().adcTemperature, -21.5);
    EXPECT_EQ(l.record.GetReadings().bias, -450);
    EXPECT_EQ(l.record.GetReadings().coolingPercent, 55);
}

TEST(SpectrumFileRoundTrip, CalibrationGoesToTheInputRegister18Selects) {
    CSpectrum s = SampleRecord();
    s.Image().SetBit(reg::kInput, 14, true);
    s.StoredCalibration(1) = s.StoredCalibration(0);
    s.StoredCalibration(1).units = 3;
    s.StoredCalibration(0) = CalibrationSet{};
    Loaded l;
    l.Text(SpectrumFileWriter::Format(s));
    EXPECT_EQ(l.record.InputBFlag(), 1);
    EXPECT_EQ(l.record.StoredCalibration(1).units, 3);
    EXPECT_EQ(l.record.StoredCalibration(1).count, 3);
    EXPECT_EQ(l.record.StoredCalibration(0).count, 0);
}

TEST(SpectrumFileReader, FirmwareIsRoundedNotTruncated) {
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"2.05", 205}, {"2.5", 250}, {"1.15", 115}, {"0.29", 29}, {"x", 0}, {"-1.01", -101}}) {
        Loaded l;
        l.Text("<volatile>\n  <firmware>" + text + "</firmware>\n</volatile>\n");
        EXPECT_EQ(l.record.GetReadings().firmwareVersion, expected) << text;
    }
}

TEST(SpectrumFileReader, AFileThatCannotBeOpenedLeavesTheRecordAlone) {
    ScriptedHost host;
    CSpectrum s = SampleRecord();
    EXPECT_FALSE(SpectrumFileReader(host).Load(s, "/nonexistent/run.qxs", "run.qxs"));
    TempDir dir;
    EXPECT_FALSE(SpectrumFileReader(host).Load(s, dir.Path(), "folder"));
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "Unable to Open File");
    EXPECT_EQ(host.boxes[0].caption, "Error");
    EXPECT_EQ(host.boxes[0].icon, MessageIcon::Stop);
    EXPECT_EQ(s.Tag(), "run 7  with  spaces");
    EXPECT_EQ(s.HardSize(), 4096);
}

TEST(SpectrumFileReader, WithoutATagTheTitleIsTheFileName) {
    Loaded l;
    l.Text(File({"  <hardsize>1024</hardsize>", "  <softsize>512</softsize>"}), "run9.qxs");
    EXPECT_EQ(l.record.Title(), "run9.qxs");
    EXPECT_EQ(l.record.Tag(), "run9.qxs");
    EXPECT_EQ(l.record.HardSize(), 1024);
    EXPECT_EQ(l.record.SoftSize(), 512);
}

TEST(SpectrumFileReader, ASoftSizeAboveTheHardSizeBecomesTheHardSize) {
    Loaded l;
    l.Text(File({"  <hardsize>2048</hardsize>", "  <softsize>8192</softsize>"}));
    EXPECT_EQ(l.record.HardSize(), 2048);
    EXPECT_EQ(l.record.SoftSize(), 2048);
    EXPECT_EQ(l.record.BinningFactor(), 1);
}

TEST(SpectrumFileReader, SizesAreClamped) {
    struct Case {
        const char *hard, *soft;
        int hardSize, softSize;
    } cases[] = {
        {"100", "100", 512, 512},  {"99999", "16384", 16384, 16384}, {"x", "x", 512, 512},
        {"4096", "-5", 4096, 512}, {"8192", "5461", 8192, 5461},     {"16384", "780", 16384, 780},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hard) + "/" + c.soft);
        Loaded l;
        l.Text(File({std::string("<hardsize>") + c.hard + "</hardsize>",
                     std::string("<softsize>") + c.soft + "</softsize>"}));
        EXPECT_EQ(l.record.HardSize(), c.hardSize);
        EXPECT_EQ(l.record.SoftSize(), c.softSize);
    }
    // Without a spectrum block the hard size is 16384 and the soft size stays.
    Loaded l;
    l.record.SetSizes(8192, 2048);
    l.Text("<registers>\n</registers>\n");
    EXPECT_EQ(l.record.HardSize(), 16384);
    EXPECT_EQ(l.record.SoftSize(), 2048);
}

TEST(SpectrumFileReader, AShortDataBlockLeavesTheLaterChannelsZero) {
    Loaded l;
    for (int h = 0; h < 16384; ++h)
        l.record.HardCounts()[h] = 9; // the previous file's counts
    l.record.HardMarks()[3000] = 1;
    l.Text(File({"<hardsize>4096</hardsize>", "<softsize>4096</softsize>", "  <data>", "5", "+6", "7",
                 "  </data>", "<tag>after the data</tag>"}));
    EXPECT_EQ(l.record.HardCounts()[0], 5u);
    EXPECT_EQ(l.record.HardCounts()[1], 6u);
    EXPECT_EQ(l.record.HardMarks()[1], 1);
    EXPECT_EQ(l.record.HardCounts()[2], 7u);
    EXPECT_EQ(l.record.HardCounts()[3], 0u) << "the closing line's channel";
    EXPECT_EQ(l.record.HardCounts()[3000], 0u);
    EXPECT_EQ(l.record.HardMarks()[3000], 0);
    EXPECT_EQ(l.record.Tag(), "after the data");
}

TEST(SpectrumFileReader, DataValuesReadAsUnsigned32Bit) {
    Loaded l;
    l.Text(File({"<hardsize>512</hardsize>", "<data>", "+ 1 2", "4294967295", "4294967296", "-1", "abc",
                 "\t77", "+", "</data>"}));
    const auto& c = l.record.HardCounts();
    EXPECT_EQ(c[0], 12u);
    EXPECT_EQ(l.record.HardMarks()[0], 1);
    EXPECT_EQ(c[1], 4294967295u);
    EXPECT_EQ(c[2], 4294967295u);
    EXPECT_EQ(c[3], 4294967295u);
    EXPECT_EQ(c[4], 0u);
    EXPECT_EQ(c[5], 77u);
    EXPECT_EQ(c[6], 0u);
    EXPECT_EQ(l.record.HardMarks()[6], 1);
}

TEST(SpectrumFileReader, LinesBeyondThe50000thAreNotRead) {
    for (const int filler : {49998, 49999}) {
        SCOPED_TRACE(filler);
        std::string text;
        for (int i = 0; i < filler; ++i)
            text += "filler\n";
        // The value is on line 50000 (read) or 50001 (not read).
        text += "<volatile>\n<intemp>17</intemp>\n</volatile>\n";
        Loaded l;
        l.Text(text);
        EXPECT_EQ(l.record.GetReadings().internalTemperature, filler == 49998 ? 17 : 0);
    }
}

TEST(SpectrumFileReader, ARegisterSizeOf200StoresOnly128Words) {
    std::string text = "<registers>\n  <size>200</size>\n  <data>\n";
    for (int k = 0; k < 200; ++k)
        text += std::to_string(k + 1) + "\n";
    text += "  </data>\n</registers>\n<volatile>\n<intemp>5</intemp>\n";
    test::FakeLoop loop;
    OutputLog log(loop, [](const std::string& t) { return static_cast<int>(t.size()); });
    ScriptedHost host;
    CSpectrum s(false);
    s.SetShown(true);
    SpectrumFileReader(host, &log).LoadText(s, text, "f.qxs");
    for (int k = 0; k < 128; ++k)
        ASSERT_EQ(s.Image().Get(k), k + 1) << k;
    EXPECT_EQ(s.Image().Get(128), 0) << "beyond the register block";
    EXPECT_EQ(s.GetReadings().internalTemperature, 5) << "the rest of the file is still read";
    ASSERT_GE(log.Lines().size(), 2u);
    const std::string& last = log.Lines().back().text;
    EXPECT_EQ(last.substr(last.size() - 3), "200");
}

TEST(SpectrumFileReader, RegisterBlockEdges) {
    {
        Loaded l; // a negative size stores nothing, a short block stores 0 for its closing line
        l.Text("<registers>\n<size>-3</size>\n<data>\n77\n</data>\n</registers>\n");
        EXPECT_EQ(l.record.Image().Get(0), 0);
        EXPECT_EQ(l.record.Image().Get(15), 0x0E00);
    }
    {
        Loaded l;
        l.Text("<registers>\n<data>\n1\n65535\n65536\n-1\n</data>\n</registers>\n");
        EXPECT_EQ(l.record.Image().Get(0), 1);
        EXPECT_EQ(l.record.Image().Get(1), 65535);
        EXPECT_EQ(l.record.Image().Get(2), 0);
        EXPECT_EQ(l.record.Image().Get(3), 65535);
        EXPECT_EQ(l.record.Image().Get(4), 0) << "the closing line";
        EXPECT_EQ(l.record.Image().Get(15), 0x0E00);
    }
}

TEST(SpectrumFileReader, LongLinesAreReadIn255CharacterPieces) {
    // 255 spaces, then "1234": the first piece is blank, the "1" after it is consumed, "234" is the next
    // piece.
    Loaded l;
    l.Text(File({"<hardsize>512</hardsize>", "<data>", std::string(255, ' ') + "1234", "9", "</data>"}));
    EXPECT_EQ(l.record.HardCounts()[0], 0u);
    EXPECT_EQ(l.record.HardCounts()[1], 234u);
    EXPECT_EQ(l.record.HardCounts()[2], 9u);
    // A 256-character line also yields an empty piece for its line feed.
    Loaded m;
    m.Text(File({"<hardsize>512</hardsize>", "<data>", std::string(255, '5') + "6", "9", "</data>"}));
    EXPECT_EQ(m.record.HardCounts()[0], 4294967295u);
    EXPECT_EQ(m.record.HardCounts()[1], 0u);
    EXPECT_EQ(m.record.HardCounts()[2], 9u);
    // A tag split over two pieces is no tag.
    Loaded n;
    n.Text(File({"  <tag>" + std::string(300, 'x') + "</tag>"}), "long.qxs");
    EXPECT_EQ(n.record.Tag(), "long.qxs");
}

TEST(SpectrumFileReader, WindowsLineEndsReadTheSame) {
    CSpectrum s = SampleRecord();
    const std::string lf = SpectrumFileWriter::Format(s);
    std::string crlf;
    for (const char c : lf) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    Loaded a, b;
    a.Text(lf);
    b.Text(crlf);
    EXPECT_EQ(b.record.Tag(), "run 7  with  spaces");
    EXPECT_EQ(b.record.HardSize(), 4096);
    EXPECT_EQ(b.record.HardCounts(), a.record.HardCounts());
    EXPECT_EQ(b.record.HardMarks(), a.record.HardMarks());
    EXPECT_EQ(b.record.Image().Bank0(), a.record.Image().Bank0());
    EXPECT_EQ(b.record.StoredCalibration(0), a.record.StoredCalibration(0));
    EXPECT_EQ(b.record.GetReadings(), a.record.GetReadings());
    // A lone CR is an ordinary character.
    Loaded c;
    c.Text(File({"<tag>a\rb</tag>"}));
    EXPECT_EQ(c.record.Tag(), "a\rb");
}

TEST(SpectrumFileReader, TheTagIsCutFromTheLineAsWrittenWhenItCanBe) {
    struct Case {
        const char* line;
        const char* tag;
    } cases[] = {
        {"  <tag>  run 7  </tag>", "  run 7  "},
        {"< tag>run 7</tag>", "run7"}, // the spaced copy lacks "<tag>": cut from the stripped line
        {"<tag>a</ tag> b </tag>", "a</ tag> b "},
        {"</tag><tag>", ""},           // the tags out of order
        {"<TAG>upper</TAG>", nullptr}, // not a tag line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Loaded l;
        l.Text(File({c.line}), "f.qxs");
        EXPECT_EQ(l.record.Tag(), c.tag ? c.tag : "f.qxs");
        if (c.tag) {
            EXPECT_EQ(l.record.Title(), std::string("FILE: f.qxs  (") + c.tag + ")");
        }
    }
}

TEST(SpectrumFileReader, ManyTagLinesKeepTheLastTagAndATitleThatDoesNotNest) {
    std::vector<std::string> lines(49000, "<tag>t</tag>");
    lines.back() = "<tag>last</tag>";
    Loaded l;
    l.Text(File(lines), "many.qxs");
    EXPECT_EQ(l.record.Tag(), "last");
    EXPECT_EQ(l.record.Title(), "FILE: many.qxs  (last)");
}

TEST(SpectrumFileReader, TopLevelTagsAreCaseInsensitiveButBlockLinesAreNot) {
    Loaded l;
    l.Text("<SerialNumber>77</SerialNumber>\n< Spectrum >\n<hardsize>1024</hardsize>\n</spectrum>\n"
           "<serialnumber>00123</serialnumber>\n<VOLATILE>\n<intemp>4</intemp>\n</volatile>\n");
    EXPECT_EQ(l.record.GetReadings().serialNumber, 123) << "the first line lacks the lower-case tags";
    EXPECT_EQ(l.record.HardSize(), 1024);
    EXPECT_EQ(l.record.GetReadings().internalTemperature, 4);
}

TEST(SpectrumFileReader, LoadingStartsFromTheCreationRegistersAndReadings) {
    Loaded l;
    l.Text(SpectrumFileWriter::Format(SampleRecord()));
    ASSERT_EQ(l.record.GetReadings().serialNumber, 42);
    l.Text(File({"<hardsize>512</hardsize>"}), "second.qxs");
    EXPECT_EQ(l.record.Image().Get(15), 0x0E00);
    EXPECT_EQ(l.record.Image().Get(56), 0);
    EXPECT_EQ(l.record.Image().Get(62), 9) << "then derived from register 9 = 0";
    EXPECT_EQ(l.record.GetReadings(), Readings{});
    EXPECT_EQ(l.record.StoredCalibration(0).count, 0);
    EXPECT_EQ(l.record.StoredCalibration(0).enabled, 1) << "enabled, units and points stay until read";
    EXPECT_EQ(l.record.StoredCalibration(0).units, 2);
    EXPECT_EQ(l.record.HardMarks()[100], 0);
}

TEST(SpectrumFileReader, Register62IsDerivedFromRegister9WhenZero) {
    struct Case {
        int w;
        int exponent;
    } cases[] = {
        {600, 9}, {384, 9}, {768, 9}, {383, 8}, {192, 8}, {191, 7}, {96, 7},  {48, 6},   {24, 5},
        {12, 4},  {6, 3},   {3, 2},   {2, 1},   {1, 0},   {0, 0},   {769, 9}, {8191, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w);
        EXPECT_EQ(SpectrumFileReader::DeriveTimeConstants(static_cast<std::uint16_t>(c.w << 3)),
                  16 * c.exponent + 9);
        Loaded l;
        l.Text("<registers>\n<size>10</size>\n<data>\n0\n0\n0\n0\n0\n0\n0\n0\n0\n" +
               std::to_string(c.w << 3) + "\n</data>\n</registers>\n");
        EXPECT_EQ(l.record.Image().Get(62), 16 * c.exponent + 9);
    }
    std::string block = "<registers>\n<size>63</size>\n<data>\n";
    for (int k = 0; k < 62; ++k)
        block += "8\n";
    block += "42\n</data>\n</registers>\n";
    Loaded kept;
    kept.Text(block);
    EXPECT_EQ(kept.record.Image().Get(62), 42) << "a word 62 that is set stays";
}

TEST(SpectrumFileReader, LoadingSetsTheSizesEvenWhenTheyDoNotChange) {
    struct Recorder : SpectrumObserver {
        int sizes = 0, activated = 0;
        void OnSizesChanged(CSpectrum&) override { ++sizes; }
        void OnActivated(CSpectrum&) override { ++activated; }
    } recorder;
    Loaded l;
    l.record.SetSizes(16384, 512);
    l.record.SetObserver(&recorder);
    l.record.SetCursor(17);
    l.Text(File({"<hardsize>16384</hardsize>", "<softsize>512</softsize>"}));
    EXPECT_EQ(recorder.sizes, 1);
    EXPECT_GE(recorder.activated, 1);
    EXPECT_EQ(l.record.Cursor(), 256) << "view reset for soft size 512";
    EXPECT_EQ(l.record.SoftSize(), 512);
}

TEST(SpectrumFileReader, UnknownLinesAndMissingBlocksAreHarmless) {
    Loaded l;
    l.Text("garbage\n\n\n<unknown>\n<calibration>\n<channelA>12.5</channelA>\n<channelA>13</channelA>\n"
           "<enabled>yes</enabled>\n<useA>1</useA>\n</calibration>\n\x01\x02\n");
    EXPECT_EQ(l.record.StoredCalibration(0).count, 2) << "one point per channel line";
    EXPECT_DOUBLE_EQ(l.record.StoredCalibration(0).channel[0], 13.0);
    EXPECT_EQ(l.record.StoredCalibration(0).enabled, 0) << "only YES enables";
    EXPECT_EQ(l.record.HardSize(), 16384);
    std::string many = "<calibration>\n";
    for (int i = 0; i < 25; ++i)
        many += "<channelJ>1</channelJ>\n";
    Loaded m;
    m.Text(many);
    EXPECT_EQ(m.record.StoredCalibration(0).count, 10) << "never more points than the set holds";
}

} // namespace
} // namespace orvane
