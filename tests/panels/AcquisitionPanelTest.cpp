#include "panels/AcquisitionPanel.h"
#include "session/AcquisitionFigures.h"
#include "session/ParameterMap.h"
#include "support/SimulatedSession.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

// The acquisition panel and the logger of a whole session, against the simulated instrument.
struct Bench : test::SimulatedSession {
    using SimulatedSession::SimulatedSession;
    bool RunUntil(const std::function<bool()>& done, int steps = 3000) { return Run(done, steps); }

    Spectra& spectra = session.spectra;
    DeviceLink& link = session.link;
    TimeSourceState& time = session.time;
    SpectrumLogger& logger = session.logger;
    AcquisitionPanel& panel = session.acquisition;
    OutputLog& log = session.log;
};

TEST(AcquisitionPanel, StartStampsAnEvenSecondAndRuns) {
    Bench b;
    b.loop.SetUtc(2026, 3, 9, 14, 2, 35, 400);
    b.Connect();
    b.panel.Start();
    EXPECT_TRUE(b.panel.StartPending());
    ASSERT_TRUE(b.RunUntil([&] { return (b.Instrument(16) & 3) == 3; }));
    EXPECT_EQ(b.panel.startText, "09/03/2026  14:02:36");
    EXPECT_EQ(b.Instrument(22), EncodeDateWord(2026, 3, 9));
    EXPECT_EQ(b.Instrument(23), EncodeTimeWord(14, 2, 36));
    EXPECT_TRUE(b.Instrument(16) & (1 << 11)); // system time
    const auto m = b.Messages();
    EXPECT_NE(std::find(m.begin(), m.end(), "Start Spectrum Acquisition "), m.end());

    b.panel.Stop();
    ASSERT_TRUE(b.RunUntil([&] { return (b.Instrument(16) & 3) == 0; }));
    EXPECT_EQ(b.Messages().back(), "Stop Spectrum Acquisition");
}

TEST(AcquisitionPanel, ResetDuringARunRestartsItWithNewStampWords) {
    Bench b;
    b.loop.SetUtc(2026, 3, 9, 14, 2, 35);
    b.Connect();
    b.panel.Start();
    ASSERT_TRUE(b.RunUntil([&] { return (b.Instrument(16) & 3) == 3; }));
    const std::uint16_t firstTime = b.Instrument(23);
    ASSERT_TRUE(b.RunUntil([&] { return b.spectra.buffer.Image().Bit(16, 0); }));
    b.loop.Advance(5000);
    b.panel.Reset();
    ASSERT_TRUE(b.RunUntil([&] { return b.Instrument(23) != firstTime; }));
    // Bits 0, 1, 2 and 5 went out set and bit 4 clear.
    const std::uint16_t sent = b.spectra.buffer.Image().Get(16);
    EXPECT_EQ(sent & 0x0003, 0x0003);
    const auto history = b.line.Simulator().History();
    bool restartSeen = false;
    for (const auto& e : history) {
        if (e.frame[0] == frames::kWriteOpcode && frames::Get16(&e.frame[4]) == 0x800C) {
            const std::uint16_t word16 = frames::Get16(&e.frame[8 + 2 * (16 - 12)]);
            restartSeen = restartSeen || (word16 & 0x0037) == 0x0027;
        }
    }
    EXPECT_TRUE(restartSeen);
}

TEST(AcquisitionPanel, ResetWithoutARunClearsTheStartDate) {
    Bench b;
    b.line.Simulator().Instrument().SetRegister(22, EncodeDateWord(2026, 1, 1));
    b.Connect();
    ASSERT_EQ(b.panel.startText, "01/01/2026  00:00:00");
    b.panel.Reset();
    ASSERT_TRUE(b.RunUntil([&] { return b.Instrument(22) == 0; }));
    EXPECT_TRUE(b.Instrument(16) & 0x0004); // the clear request went out
    ASSERT_TRUE(b.RunUntil([&] { return b.panel.startText == "WAITING FOR START"; }));
}

TEST(AcquisitionPanel, WithoutAnInstrumentStartOnlySaysSo) {
    Bench b;
    b.panel.Start();
    EXPECT_EQ(b.panel.startText, "Hardware Not Connected");
    EXPECT_TRUE(b.spectra.buffer.Image().Settled());
    EXPECT_EQ(b.line.Simulator().FramesReceived(), 0u);
}

TEST(AcquisitionPanel, APendingTimeStampChoiceRunsTheDialogFirst) {
    Bench b;
    b.time.RequireChoice();
    b.host.onDialog = [&](DialogKind) { b.time.Choose(TimeSource::Local); };
    b.Connect();
    b.time.RequireChoice();
    b.panel.Start();
    EXPECT_EQ(b.host.dialogs, std::vector<DialogKind>{DialogKind::TimeStamp});
    EXPECT_FALSE(b.time.ChoiceDueBeforeStart());
}

TEST(AcquisitionPanel, CoincidenceModesAndClampedTimings) {
    Bench b;
    b.Connect();
    b.panel.OnCoincidenceMode(AcquisitionPanel::kWindowAnticoinc);
    RegisterImage& image = b.spectra.buffer.Image();
    EXPECT_EQ(image.Get(69) & 0xC000, 0xC000);
    EXPECT_FALSE(image.Bit(16, 14));
    EXPECT_EQ(b.panel.OnTimingText(AcquisitionPanel::kSrcDelay, "5000"), 4095);
    EXPECT_EQ(b.panel.OnTimingText(AcquisitionPanel::kSrcDelay, "0"), 1);
    EXPECT_EQ(b.panel.OnTimingText(AcquisitionPanel::kWinWidth, "x"), 1);
    EXPECT_EQ(image.Get(68), 1);
    ASSERT_TRUE(b.Written(69));
    // Read back with bit 14 set and bit 15 clear the mode shows DISABLED.
    b.panel.OnCoincidenceMode(AcquisitionPanel::kDisabled);
    image.Set(69, 0x4005);
    image.SetBit(16, 14, false);
    b.panel.Refresh();
    EXPECT_EQ(b.panel.coincidenceMode, AcquisitionPanel::kDisabled);
    EXPECT_FALSE(b.panel.SrcAndWidthEnabled());
}

TEST(AcquisitionPanel, AClockCodeChangeReRendersTheMicroseconds) {
    Bench b;
    b.panel.timing[AcquisitionPanel::kPeakDelay] = 240;
    b.link.Period().Derive(0x0000);
    EXPECT_EQ(b.panel.TimingUsText(AcquisitionPanel::kPeakDelay), "  3.0000");
    b.link.Period().Derive(0x000C);
    EXPECT_EQ(b.panel.TimingUsText(AcquisitionPanel::kPeakDelay), "  1.5000");
}

TEST(AcquisitionPanel, SoftSizesDriveBothRecords) {
    Bench b;
    b.spectra.file.SetShown(true);
    b.panel.OnSoftSize(5461);
    EXPECT_EQ(b.spectra.buffer.BinningFactor(), 3);
    EXPECT_EQ(b.spectra.file.BinningFactor(), 3);
    b.panel.hardSize = 4096;
    b.panel.OnSoftSize(8192);
    EXPECT_EQ(b.panel.softSize, 4096);
    b.panel.ShowSizes(3000, 3000);
    EXPECT_EQ(b.panel.hardSize, 4096);
    EXPECT_EQ(b.panel.softSize, 3276);
}

TEST(AcquisitionPanel, APresetBeyondTheRegistersIsClamped) {
    Bench b;
    b.Connect();
    b.panel.OnPresetText("99999999");
    EXPECT_EQ(b.panel.presetSeconds, AcquisitionPanel::kMaxPresetSeconds);
    EXPECT_EQ(static_cast<std::int32_t>(b.spectra.buffer.Image().Pair(42)), 2147483600);
}

TEST(SpectrumLogger, EnableChecksInOrder) {
    Bench b;
    const test::TempDir dir;
    const std::filesystem::path temp = dir.Path();
    b.logger.base = "bad:name";
    b.logger.ClickEnable(true);
    b.logger.base = "cs137";
    b.logger.ClickEnable(true); // not connected
    b.Connect();
    b.logger.folder = "";
    b.logger.ClickEnable(true);
    b.logger.folder = temp.string() + "/";
    b.logger.runs = 0;
    b.logger.ClickEnable(true);
    b.logger.runs = 3;
    b.panel.realTime = 1.5;
    b.logger.ClickEnable(true);
    b.panel.realTime = 0;
    EXPECT_EQ(b.host.Texts(), (std::vector<std::string>{
                                  "INVALID FILE NAME!", "No device is connected. Please, connect/reconect!",
                                  "Please specify a storage folder and/or a file name base!",
                                  "Please specify RUNS greater than zero!",
                                  "Please clear current time and counts by pressing RESET "
                                  "button!"}));
    EXPECT_FALSE(b.logger.enabled);
    // An existing first file asks; Cancel leaves the logger unarmed, OK arms it.
    std::ofstream(temp / "cs137_0001.qxs") << "old";
    b.logger.completed = 7;
    b.host.answers = {kAnswerCancel};
    b.logger.ClickEnable(true);
    EXPECT_FALSE(b.logger.enabled);
    EXPECT_EQ(b.host.boxes.back().caption, "Warning");
    b.logger.ClickEnable(true); // OK
    EXPECT_TRUE(b.logger.enabled);
    EXPECT_EQ(b.logger.completed, 0);
}

TEST(SpectrumLogger, FileNamesAndTheFolderButton) {
    Bench b;
    b.logger.folder = "/data/";
    b.logger.base = "cs 137";
    b.logger.ClickEnable(false);
    EXPECT_EQ(b.logger.FileName(3), "/data/cs 137_0003.qxs");
    EXPECT_EQ(b.logger.FileName(10000), "/data/cs 137_10000.qxs");
    b.host.folderAnswer = "/tmp/series";
    b.logger.ClickFolder();
    EXPECT_EQ(b.logger.folder, "/tmp/series/");
    EXPECT_EQ(b.host.folderTitles.back().substr(0, 14), "Select Folder|");
    b.link.SetLoggerRunning(true);
    b.logger.ClickFolder();
    EXPECT_EQ(b.host.Texts().back(), "A storage folder can not be selected while the SPECTRUM LOGGER records "
                                     "spectra.\nPlease uncheck ENABLE to select a new folder!");
}

TEST(SpectrumLogger, ASeriesOfThreeRunsIsSavedAndSwitchesItselfOff) {
    SimulatorOptions options;
    options.countRate = 5000;
    Bench b(options);
    const test::TempDir dir;
    std::vector<std::string> restarts;
    b.logger.SetStartText([&](const std::string& text) { restarts.push_back(text); });
    b.loop.SetUtc(2026, 6, 1, 8, 0, 1);
    b.Connect();
    b.panel.OnPresetText("2");
    b.logger.folder = dir.Path() + "/";
    b.logger.base = "run";
    b.logger.runs = 3;
    b.logger.ClickEnable(true);
    ASSERT_TRUE(b.logger.enabled);
    b.panel.Start();
    const bool finished = b.RunUntil([&] { return !b.logger.enabled; }, 20000);
    if (!finished) {
        for (const std::string& m : b.Messages())
            ADD_FAILURE() << "log: " << m;
    }
    ASSERT_TRUE(finished) << "completed " << b.logger.completed << " phase " << b.link.LoggerPhase()
                          << " running " << b.link.LoggerRunning() << " open " << b.link.LinkOpen()
                          << " busy " << b.link.Busy() << " instrument r16 " << b.Instrument(16) << " r56 "
                          << b.Instrument(56) << " restart pending " << b.logger.RestartPending();
    EXPECT_EQ(b.logger.completed, 3);
    EXPECT_FALSE(b.link.LoggerRunning());
    // Each file loads back as a whole 2 s run with its own start stamp.
    std::vector<std::uint16_t> stamps;
    for (int run = 1; run <= 3; ++run) {
        CSpectrum loaded(false);
        ASSERT_TRUE(b.session.reader.Load(loaded, b.logger.FileName(run), "run")) << run;
        std::uint64_t total = 0;
        for (int c = 0; c < loaded.HardSize(); ++c)
            total += loaded.HardCounts()[static_cast<std::size_t>(c)];
        EXPECT_NEAR(static_cast<double>(total), 2 * 5000 / 1.01, 800) << run;
        EXPECT_EQ(ComputeAcquisitionFigures(loaded.Image()).realSeconds, 2.0) << run;
        stamps.push_back(loaded.Image().Get(23));
    }
    EXPECT_LT(stamps[0], stamps[1]);
    EXPECT_LT(stamps[1], stamps[2]);
    ASSERT_EQ(restarts.size(), 2u); // no restart after the last run
    for (const std::string& text : restarts)
        EXPECT_EQ(std::stoi(text.substr(18, 2)) % 2, 0) << text; // on an even second
}

} // namespace
} // namespace orvane
