#include "firmware/FpgaCommand.h"
#include "support/SimulatedSession.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvane {
namespace {

struct Bench : test::SimulatedSession {
    using SimulatedSession::SimulatedSession;
    bool RunUntil(const std::function<bool()>& done, int steps = 2000, int replyWaitMs = 200) {
        return Run(done, steps, 100, replyWaitMs);
    }
    int Count(const std::string& message) const { return SimulatedSession::Count(message); }

    DeviceLink& link = session.link;
    FpgaCommand& command = session.fpga;
};

TEST(FpgaCommand, WaitsForTheLinkUploadsWithEventsMutedAndReconnects) {
    Bench b;
    b.Connect();
    const test::TempDir dir;
    const std::filesystem::path image = dir.File("design.rbf");
    std::ofstream(image, std::ios::binary) << std::string(1000, '\x5A');
    bool muted = false;
    b.command.SetShowDialog([&](FpgaExchange& exchange) {
        muted = b.link.EventsMuted();
        exchange.Open();
        exchange.OnFileChosen(image.string());
        exchange.Upload();
        b.RunUntil([&] { return !exchange.Busy(); });
        exchange.Close();
    });
    int refreshes = 0;
    b.command.SetRefreshPanels([&] {
        ++refreshes;
        b.session.acquisition.Refresh();
    });
    b.link.Trace().ArmSingleShot(3);
    b.command.Run();
    EXPECT_FALSE(b.link.AutoUpdate());
    EXPECT_EQ(b.link.Trace().SingleShotCountdown(), 0);
    ASSERT_TRUE(b.RunUntil([&] { return b.Count("Connected to: SIM0") == 2; }));
    EXPECT_TRUE(muted);
    EXPECT_FALSE(b.link.EventsMuted());
    EXPECT_EQ(refreshes, 2);
    // The flash holds the image: two blocks went out.
    EXPECT_EQ(b.line.Simulator().Instrument().Flash().Byte(999), 0x5A); // 0x5A reads the same reversed
    EXPECT_EQ(b.line.Simulator().Instrument().Flash().Byte(1000), 0xFF);
}

TEST(FpgaCommand, RefusedWhileLoggingOrWithoutAnInstrument) {
    Bench b;
    bool shown = false;
    b.command.SetShowDialog([&](FpgaExchange&) { shown = true; });
    b.command.Run();
    EXPECT_EQ(b.host.Texts(), std::vector<std::string>{"No device is connected. Please, connect/reconect!"});
    b.Connect();
    b.link.SetLoggerRunning(true);
    b.command.Run();
    EXPECT_EQ(b.host.Texts().size(), 1u);
    EXPECT_FALSE(b.command.Waiting());
    EXPECT_FALSE(shown);
}

TEST(FpgaCommand, ALinkThatNeverComesFreeEndsTheWaitWithoutADialog) {
    SimulatorOptions options;
    options.silentAfter = 2; // answers the first reads, then never again
    Bench b(options);
    b.Connect();
    // The third command is out and will never be answered.
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.line.Simulator().FramesReceived() >= 3 && b.link.Busy(); }));
    bool shown = false;
    b.command.SetShowDialog([&](FpgaExchange&) { shown = true; });
    b.command.Run();
    ASSERT_TRUE(b.RunUntil([&] { return !b.command.Waiting(); }, 400, 0));
    EXPECT_FALSE(shown);
    EXPECT_EQ(b.host.Texts().back(), "No device is connected. Please, connect/reconect!");
}

} // namespace
} // namespace orvane
