#include "cli/OrvaneCli.h"
#include "session/AcquisitionFigures.h"
#include "session/ParameterMap.h"
#include "shell/SystemClock.h"
#include "spectrum/SpectrumFileReader.h"
#include "support/CliRun.h"
#include "support/PtyFixture.h"
#include "support/ScriptedHost.h"
#include "support/SntpResponder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

namespace orvane {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

using test::CliRun;
using test::Orvane;

std::vector<std::string> Acquire(const std::string& port, const std::vector<std::string>& more) {
    std::vector<std::string> args{"acquire", "--port", port};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

SimulatorOptions Steady(double countRate = 5000) {
    SimulatorOptions options;
    options.countRate = countRate;
    return options;
}

struct Saved {
    bool loaded = false;
    CSpectrum record{false};
    std::uint64_t counts = 0;
    AcquisitionFigures figures;
};

Saved Load(const std::string& path) {
    Saved saved;
    test::ScriptedHost host;
    SpectrumFileReader reader(host);
    saved.loaded = reader.Load(saved.record, path, "run");
    for (int c = 0; c < saved.record.HardSize(); ++c)
        saved.counts += saved.record.HardCounts()[static_cast<std::size_t>(c)];
    saved.figures = ComputeAcquisitionFigures(saved.record.Image());
    return saved;
}

// The first channel whose saved count is not the instrument's final one, or -1.
int FirstStaleChannel(const Saved& saved, test::SimulatedLine& line) {
    for (int c = 0; c < CSpectrum::kChannels; ++c) {
        if (saved.record.HardCounts()[static_cast<std::size_t>(c)] !=
            line.Simulator().Instrument().Channel(static_cast<std::size_t>(c)))
            return c;
    }
    return -1;
}

// "DD/MM/YYYY  HH:MM:SS" read as a UTC calendar time.
std::time_t StampSeconds(const std::string& text) {
    std::tm tm{};
    tm.tm_mday = std::stoi(text.substr(0, 2));
    tm.tm_mon = std::stoi(text.substr(3, 2)) - 1;
    tm.tm_year = std::stoi(text.substr(6, 4)) - 1900;
    tm.tm_hour = std::stoi(text.substr(12, 2));
    tm.tm_min = std::stoi(text.substr(15, 2));
    tm.tm_sec = std::stoi(text.substr(18, 2));
    return ::timegm(&tm);
}

TEST(OrvaneAcquire, ARunIsSavedUnderTheSaveNameRuleAndLoadsBack) {
    // At the real line rate a poll cycle takes most of a second: counts read before the end are stale.
    SimulatorOptions paced = Steady();
    paced.lineRate = 921600;
    test::SimulatedLine line(SystemClock::Instance(), paced);
    const TempDir dir;
    const CliRun run = Orvane(Acquire(line.Path(), {"--preset", "2", "-o", dir.File("run7")}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.File("run7.qxs") + "\n");
    EXPECT_EQ(dir.Entries(), 1u);
    const Saved saved = Load(dir.File("run7.qxs"));
    ASSERT_TRUE(saved.loaded);
    // The whole run, read again after its end: a real time of exactly the preset and its counts.
    EXPECT_EQ(saved.figures.realSeconds, 2.0);
    EXPECT_LT(saved.figures.liveSeconds, saved.figures.realSeconds);
    EXPECT_NEAR(static_cast<double>(saved.counts), 2 * 5000 / 1.01, 800);
    EXPECT_EQ(FirstStaleChannel(saved, line), -1);
    EXPECT_EQ(std::stoi(saved.figures.startText.substr(18, 2)) % 2, 0) << saved.figures.startText;
    EXPECT_EQ(saved.figures.startLabel, "START TIME: SYSTEM");
    EXPECT_EQ(saved.record.Tag(), saved.figures.startText);   // the Save's cancelled tag dialog
    EXPECT_FALSE(saved.record.Image().Bit(reg::kControl, 3)); // a real-time preset
    EXPECT_EQ(line.Simulator().Instrument().Register(reg::kControl) & 1, 0); // the run ended by itself
}

TEST(OrvaneAcquire, AnExistingFileIsKeptWithoutForceAndReplacedWithIt) {
    test::SimulatedLine line(SystemClock::Instance(), Steady());
    const TempDir dir;
    const std::string path = dir.File("old.qxs");
    WriteAll(path, "old");
    const CliRun refused = Orvane(Acquire(line.Path(), {"--preset", "1", "-o", path}));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(path + " exists (--force overwrites it)"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadAll(path), "old");

    // Forced, and with the other preset mode and time source on the way.
    const CliRun forced =
        Orvane(Acquire(line.Path(), {"--preset", "1", "--live", "--time", "local", "-o", path, "--force"}));
    ASSERT_EQ(forced.status, 0) << forced.err;
    const Saved saved = Load(path);
    ASSERT_TRUE(saved.loaded);
    EXPECT_TRUE(saved.record.Image().Bit(reg::kControl, 3));
    EXPECT_GE(saved.figures.liveSeconds, 1.0);
    EXPECT_GT(saved.figures.realSeconds, saved.figures.liveSeconds);
    EXPECT_EQ(saved.figures.startLabel, "START TIME: LOCAL");
    EXPECT_EQ(dir.Entries(), 1u); // no temporary file left behind
}

TEST(OrvaneAcquire, ASeriesIsLoggedAndTheLoggerSwitchesItselfOff) {
    test::SimulatedLine line(SystemClock::Instance(), Steady());
    const TempDir dir;
    WriteAll(dir.File("cs_0001.qxs"), "old");
    const std::vector<std::string> series{"--preset", "1",        "--runs", "2",
                                          "--folder", dir.Path(), "--base", "cs"};
    const CliRun refused = Orvane(Acquire(line.Path(), series));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("LOGGING DATA WITH THIS FILE NAME ALREADY EXISTS."), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("not enabled (--force overwrites the series)"), std::string::npos);
    EXPECT_EQ(ReadAll(dir.File("cs_0001.qxs")), "old");

    std::vector<std::string> forced = series;
    forced.push_back("--force");
    const CliRun run = Orvane(Acquire(line.Path(), forced));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.File("cs_0001.qxs") + "\n" + dir.File("cs_0002.qxs") + "\n");
    EXPECT_EQ(dir.Entries(), 2u); // no third run
    std::vector<std::time_t> starts;
    for (const char* name : {"cs_0001.qxs", "cs_0002.qxs"}) {
        const Saved saved = Load(dir.File(name));
        ASSERT_TRUE(saved.loaded) << name;
        EXPECT_EQ(saved.figures.realSeconds, 1.0) << name;
        EXPECT_NEAR(static_cast<double>(saved.counts), 5000 / 1.01, 600) << name;
        starts.push_back(StampSeconds(saved.figures.startText));
        EXPECT_EQ(starts.back() % 2, 0) << name;
    }
    EXPECT_GT(starts[1], starts[0]);
    // Switched off after the last run: the instrument is left stopped, not restarted.
    EXPECT_EQ(line.Simulator().Instrument().Register(reg::kControl) & 1, 0);
}

TEST(OrvaneAcquire, UtcStampsCarryTheOffsetTheServerMeasured) {
    test::SimulatedLine line(SystemClock::Instance(), Steady());
    // Two hours ahead: a stamp from the plain system clock could not pass for it.
    constexpr double kOffset = 7200.0;
    test::SntpResponder server(test::SntpResponder::Mode::Offset, kOffset);
    const TempDir dir;
    const std::time_t before = std::time(nullptr);
    const CliRun run = Orvane(Acquire(line.Path(), {"--preset", "1", "--time", "utc", "--ntp",
                                                    server.Address(), "-o", dir.File("utc.qxs")}));
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(server.Requests(), 1);
    const Saved saved = Load(dir.File("utc.qxs"));
    ASSERT_TRUE(saved.loaded);
    const RegisterImage& image = saved.record.Image();
    EXPECT_TRUE(image.Bit(reg::kControl, 10));
    EXPECT_FALSE(image.Bit(reg::kControl, 11));
    EXPECT_EQ(saved.figures.startLabel, "START TIME: UTC");
    const std::time_t start = StampSeconds(saved.figures.startText);
    EXPECT_GE(start, before + static_cast<std::time_t>(kOffset));
    EXPECT_LE(start, after + static_cast<std::time_t>(kOffset));
}

TEST(OrvaneAcquire, BadArgumentsExit2WithTheUsage) {
    const TempDir dir;
    const std::string out = dir.File("x");
    const std::vector<std::vector<std::string>> cases{
        {"-o", out},                                 // no --preset
        {"--preset", "0", "-o", out},                // no run at all
        {"--preset", "1.5", "-o", out},              // whole seconds only
        {"--preset", "21474837", "-o", out},         // beyond the registers
        {"--preset", "1"},                           // neither target
        {"--preset", "1", "-o", out, "--runs", "2"}, // both targets
        {"--preset", "1", "--runs", "0", "--folder", dir.Path(), "--base", "b"},
        {"--preset", "1", "--runs", "2", "--base", "b"},               // no folder
        {"--preset", "1", "--time", "utc", "-o", out},                 // utc without a server
        {"--preset", "1", "--ntp", "127.0.0.1", "-o", out},            // a server without utc
        {"--preset", "1", "--time", "utc", "--ntp", "h:0", "-o", out}, // a bad server port
        {"--preset", "1", "--time", "gps", "-o", out},                 // no such source
        {"--preset", "1", "--speed", "slow", "-o", out},
        {"--preset", "1", "-o", out, "extra"},
        {"--preset", "1", "-o", out, "--bogus"},
    };
    for (const auto& more : cases) {
        const CliRun run = Orvane(Acquire("/nonexistent/tty", more));
        EXPECT_EQ(run.status, 2) << more.back();
        EXPECT_NE(run.err.find("Usage: orvane acquire --port PATH"), std::string::npos) << more.back();
    }
    const CliRun noPort = Orvane({"acquire", "--preset", "1", "-o", out});
    EXPECT_EQ(noPort.status, 2);
    EXPECT_NE(Orvane({"help"}).out.find("acquire --port PATH"), std::string::npos);
    EXPECT_EQ(dir.Entries(), 0u);
}

TEST(OrvaneAcquire, FailuresBeforeAndDuringTheRunExit1AndWriteNothing) {
    const TempDir dir;
    const std::string out = dir.File("x.qxs");
    const CliRun noPort = Orvane(Acquire("/nonexistent/tty", {"--preset", "1", "-o", out}));
    EXPECT_EQ(noPort.status, 1);
    EXPECT_NE(noPort.err.find("Unable to open COM-port"), std::string::npos) << noPort.err;

    const CliRun noFolder = Orvane(Acquire("/nonexistent/tty", {"--preset", "1", "--runs", "2", "--folder",
                                                                dir.File("missing"), "--base", "b"}));
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("no such folder: " + dir.File("missing")), std::string::npos);

    const std::string refused = "127.0.0.1:" + std::to_string(test::UnusedUdpPort());
    const CliRun noServer =
        Orvane(Acquire("/nonexistent/tty", {"--preset", "1", "--time", "utc", "--ntp", refused, "-o", out}));
    EXPECT_EQ(noServer.status, 1);
    EXPECT_NE(noServer.err.find("Failed to retreive time from: " + refused), std::string::npos);

    SimulatorOptions leaving = Steady();
    leaving.unplugAfter = 100; // gone while the run is prepared or under way
    test::SimulatedLine line(SystemClock::Instance(), leaving);
    const CliRun unplugged = Orvane(Acquire(line.Path(), {"--preset", "1", "-o", out}));
    EXPECT_EQ(unplugged.status, 1);
    EXPECT_NE(unplugged.err.find("hung up"), std::string::npos) << unplugged.err;
    EXPECT_TRUE(unplugged.out.empty());
    EXPECT_EQ(dir.Entries(), 0u);
}

} // namespace
} // namespace orvane
