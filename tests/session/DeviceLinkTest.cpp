#include "session/DeviceLink.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"
#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane {
namespace {

using namespace frames;
using test::Hex;

struct Events : DeviceLinkListener {
    int refreshed = 0, connected = 0, released = 0, traces = 0;
    bool lastRunButtonReset = false;
    void OnRegistersRefreshed(bool) override { ++refreshed; }
    void OnConnected() override { ++connected; }
    void OnReleased() override { ++released; }
    void OnTraceCaptured(bool reset) override {
        ++traces;
        lastRunButtonReset = reset;
    }
};

// The analyzer's link against the simulated instrument on a pseudo-terminal, on a fake clock.
class Session {
public:
    explicit Session(const SimulatorOptions& options = {})
        : line(loop, options), log(loop, nullptr), identity(loop), link(spectra, log, loop, host, identity) {
        link.SetListener(&events);
        link.SetPort(line.Path(), "SIM0", 921600);
        spectra.buffer.SetShown(true);
    }
    ~Session() { link.Port().ClosePort(); }

    void Connect() {
        link.ConnectDevice();
        loop.Advance(DeviceLink::kBreakMs + DeviceLink::kSettleMs);
        ASSERT_TRUE(link.LinkOpen());
    }
    // Waits until the instrument has answered this many frames.
    bool AwaitReplies(unsigned count) {
        return loop.RunUntil([&] { return line.Simulator().RepliesSent() >= count; });
    }
    std::vector<std::vector<std::uint8_t>> Frames() { return FramesOf(line.Simulator().History()); }
    static std::vector<std::vector<std::uint8_t>>
    FramesOf(const std::vector<PtySimulator::Exchange>& history) {
        std::vector<std::vector<std::uint8_t>> frames;
        for (const auto& e : history)
            frames.push_back(e.frame);
        return frames;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (std::size_t i = 1; i < log.Lines().size(); ++i)
            m.push_back(log.Lines()[i].text.substr(OutputLog::Prefix({}).size()));
        return m;
    }

    test::FakeLoop loop;
    test::SimulatedLine line;
    OutputLog log;
    test::ScriptedHost host;
    Spectra spectra;
    DeviceIdentity identity;
    DeviceLink link;
    Events events;
};

// First channel and channel count of a spectrum read frame.
std::pair<int, int> ChunkOf(const std::vector<std::uint8_t>& frame) {
    return {Get16(&frame[4]) / 2, Get16(&frame[8]) / 4};
}
bool IsRegisterRead(const std::vector<std::uint8_t>& f) {
    return f[0] == kReadOpcode && Get16(&f[4]) >= 0x8000;
}

TEST(DeviceLink, ConnectReadsRegistersFirstThenChunksWithARefreshAfterEveryFourth) {
    Session s;
    s.Connect();
    EXPECT_EQ(s.Messages().front(), "Connected to: SIM0");
    ASSERT_TRUE(s.AwaitReplies(11));
    const auto frames = s.Frames();
    EXPECT_EQ(Hex(frames[0]), "64 00 0B 00 01 80 40 00 FE 00 D3");
    // The chunk counter starts at 0: four chunks, a refresh, four chunks, a refresh.
    const std::vector<std::pair<int, int>> chunks = {{2050, 2050}, {4100, 2050}, {6150, 2050}, {8200, 2050}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ChunkOf(frames[1 + i]), chunks[i]);
    EXPECT_TRUE(IsRegisterRead(frames[5]));
    EXPECT_EQ(ChunkOf(frames[6]), std::make_pair(10250, 2050));
    EXPECT_EQ(ChunkOf(frames[8]), std::make_pair(14350, 2034));
    EXPECT_EQ(ChunkOf(frames[9]), std::make_pair(0, 2050));
    EXPECT_TRUE(IsRegisterRead(frames[10]));
    EXPECT_GE(s.events.refreshed, 2);
    EXPECT_EQ(s.events.connected, 1);
}

TEST(DeviceLink, A1024ChannelSpectrumIsRead130AtATimeWithThe114ChannelTail) {
    Session s;
    s.spectra.buffer.SetSizes(1024, 1024);
    s.line.Simulator().Instrument().SetChannel(1023, 99);
    s.Connect();
    ASSERT_TRUE(s.AwaitReplies(12));
    std::vector<std::pair<int, int>> chunks;
    for (const auto& f : s.Frames())
        if (!IsRegisterRead(f))
            chunks.push_back(ChunkOf(f));
    EXPECT_EQ(chunks[0], std::make_pair(130, 130));
    const auto tail = std::find(chunks.begin(), chunks.end(), std::make_pair(910, 114));
    ASSERT_NE(tail, chunks.end());
    ASSERT_NE(tail + 1, chunks.end());
    EXPECT_EQ(*(tail + 1), std::make_pair(0, 130));
    EXPECT_EQ(s.spectra.buffer.HardCounts()[1023], 99u);
    EXPECT_EQ(s.spectra.buffer.SoftCounts()[1023], 99u);
}

TEST(DeviceLink, AnEditWhilePollingIsQueuedAndNotOverwrittenByAReadBack) {
    Session s;
    s.Connect();
    // The instrument answered (a write needs it to) and the next read is on the wire; the panel edits the
    // image and asks for a write.
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.link.Responding() && s.link.Busy(); }));
    RegisterImage& image = s.spectra.buffer.Image();
    image.SetSettled(false);
    image.Set(30, 777);
    s.link.WriteParameters();
    EXPECT_TRUE(s.link.SlotSet(DeviceLink::kSlotParameters));
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.line.Simulator().Instrument().Register(30) == 777; }));
    EXPECT_EQ(image.Get(30), 777);
    EXPECT_TRUE(image.Settled());
    // Later read-backs carry the instrument's (now equal) value.
    const unsigned after = s.line.Simulator().RepliesSent();
    ASSERT_TRUE(s.AwaitReplies(after + 6));
    EXPECT_EQ(image.Get(30), 777);
}

// The link after Connect, responding, with the chain stopped and nothing on the wire.
void ConnectAndIdle(Session& s) {
    s.Connect();
    s.link.SetAutoUpdate(false);
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.link.Responding() && !s.link.Busy(); }));
}

TEST(DeviceLink, AReadBackArrivingBeforeTheWriteLeavesTheEditAlone) {
    Session s;
    ConnectAndIdle(s);
    s.link.RefreshRegisters(); // on the wire
    RegisterImage& image = s.spectra.buffer.Image();
    image.SetSettled(false);
    image.Set(2, 1234); // the instrument holds 240
    s.link.WriteAllRegisters();
    EXPECT_TRUE(s.link.SlotSet(DeviceLink::kSlotAllRegisters));
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.line.Simulator().Instrument().Register(2) == 1234; }));
    EXPECT_EQ(image.Get(2), 1234); // the read-back before the write was not copied
    EXPECT_TRUE(image.Settled());
}

TEST(DeviceLink, WhileLoggingAReadBackDoesNotOverwriteAQueuedWrite) {
    Session s;
    ConnectAndIdle(s);
    s.link.SetLoggerRunning(true);
    s.link.RefreshRegisters(); // on the wire
    RegisterImage& image = s.spectra.buffer.Image();
    image.SetSettled(false);
    image.Set(16, static_cast<std::uint16_t>(image.Get(16) | 0x0003)); // a logged START
    s.link.WriteParameters();
    ASSERT_TRUE(s.loop.RunUntil([&] { return (s.line.Simulator().Instrument().Register(16) & 3) == 3; }));
}

TEST(DeviceLink, TheImageIsSettledAgainWhenLoggingEnds) {
    Session s;
    s.link.SetLoggerRunning(true);
    s.spectra.buffer.Image().SetSettled(false); // an edit while logging is never sent
    s.link.SetLoggerRunning(false);
    EXPECT_TRUE(s.spectra.buffer.Image().Settled());
}

TEST(DeviceLink, RoundRobinServesTheSlotAfterTheCursorFirst) {
    Session s;
    ConnectAndIdle(s);
    const long done = s.link.Completions();
    s.link.ReadRegisters(1, 4); // on the wire
    s.link.ReadSpectrumChunk(); // slot 1
    s.link.WriteRunControl();   // slot 16
    s.link.SetCursor(1);
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.link.Completions() >= done + 3 && !s.link.Busy(); }));
    const auto frames = s.Frames();
    // The four-register read, then what the scan found after it.
    std::size_t at = frames.size();
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (IsRegisterRead(frames[i]) && Get16(&frames[i][8]) == 8)
            at = i;
    ASSERT_LE(at + 2, frames.size() - 1);
    EXPECT_EQ(frames[at + 1][0], kWriteOpcode); // slot 16 first
    EXPECT_EQ(Get16(&frames[at + 1][4]), 0x8010);
    EXPECT_EQ(frames[at + 2][0], kReadOpcode); // then slot 1, after wrapping
    EXPECT_LT(Get16(&frames[at + 2][4]), 0x8000);
}

TEST(DeviceLink, UncheckingAutoUpdateStopsTheChainAndRecheckingRestartsIt) {
    Session s;
    s.Connect();
    ASSERT_TRUE(s.AwaitReplies(3));
    s.link.SetAutoUpdate(false);
    s.loop.RunFor(100);
    const unsigned stopped = s.line.Simulator().FramesReceived();
    s.loop.RunFor(100);
    EXPECT_EQ(s.line.Simulator().FramesReceived(), stopped);
    EXPECT_FALSE(s.link.Busy());
    s.link.SetAutoUpdate(true);
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.line.Simulator().FramesReceived() > stopped + 2; }));
    EXPECT_TRUE(IsRegisterRead(s.Frames()[stopped])); // the restart begins with a register refresh
}

TEST(DeviceLink, ASingleShotWithCountdownTwoShowsTheSecondTrace) {
    Session s;
    ConnectAndIdle(s);
    s.link.Trace().ArmSingleShot(2);
    s.line.Simulator().Instrument().SetTraceWord(0, 111);
    s.link.ReadTrace();
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.link.Trace().SingleShotCountdown() == 1; }));
    EXPECT_EQ(s.events.traces, 0); // the first trace is discarded
    s.line.Simulator().Instrument().SetTraceWord(0, 222);
    // The chain asks for registers; a trace-ready bit would lead to the next read.
    s.link.ReadTrace();
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.events.traces == 1; }));
    EXPECT_TRUE(s.events.lastRunButtonReset);
    EXPECT_EQ(Get16(s.link.Trace().Trace().data()), 222);
    EXPECT_EQ(s.link.Trace().SingleShotCountdown(), 0);
}

TEST(DeviceLink, DisconnectWhileLoggingIsRefusedAndTheLinkKeepsRunning) {
    Session s;
    s.Connect();
    s.link.SetLoggerRunning(true);
    s.link.Disconnect();
    ASSERT_EQ(s.host.Texts().size(), 1u);
    EXPECT_EQ(s.host.Texts()[0], "Spectrum Logging in progress!\nPlease Stop the Spectrum Logger\nbefore "
                                 "disconnecting from hardware!");
    EXPECT_TRUE(s.link.LinkOpen());
    s.link.SetLoggerRunning(false);
    s.link.Disconnect();
    s.loop.Advance(DeviceLink::kReleaseMs);
    EXPECT_FALSE(s.link.LinkOpen());
    EXPECT_EQ(s.Messages().back(), "Disconnected from hardware");
}

TEST(DeviceLink, AnUnpluggedInstrumentTimesOutAndIsReleased) {
    SimulatorOptions options;
    options.unplugAfter = 3;
    Session s(options);
    s.Connect();
    ASSERT_TRUE(s.loop.RunUntil([&] { return s.line.Simulator().Unplugged(); }));
    for (int tick = 0; tick < 200 && s.events.released == 0; ++tick) {
        s.loop.Advance(200);
        s.link.OnLinkTimer();
    }
    s.loop.Advance(DeviceLink::kReleaseMs);
    const auto m = s.Messages();
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m[m.size() - 2], "Communication Time Out- Timer");
    EXPECT_EQ(m.back(), "Disconnected from hardware");
    EXPECT_FALSE(s.link.LinkOpen());
    EXPECT_FALSE(s.link.Port().IsOpen());
}

TEST(DeviceLink, StartersOnAClosedLinkShowTheirNumberedMessageAfterwards) {
    Session s;
    s.link.ReadSpectrumChunk();
    s.link.ReadTrace();
    s.link.WriteParameters();
    s.link.WriteAllRegisters();
    s.link.ReadRegisters(1, 127);      // silently ignored
    EXPECT_TRUE(s.host.boxes.empty()); // shown once the handler returned
    s.loop.RunPending();
    EXPECT_EQ(s.host.Texts(),
              (std::vector<std::string>{"2-Hardware not connected!", "1-Hardware not connected!",
                                        "5-Hardware not connected!", "6-Hardware not connected!"}));
    EXPECT_EQ(s.host.boxes[0].icon, MessageIcon::Stop);
}

TEST(DeviceLink, AnUnopenablePortIsReportedAndReleased) {
    Session s;
    s.link.SetPort("/nonexistent/tty", "NONE", 921600);
    s.link.ConnectDevice();
    s.loop.Advance(DeviceLink::kReleaseMs);
    EXPECT_EQ(s.host.Texts(), std::vector<std::string>{"Unable to open COM-port"});
    EXPECT_FALSE(s.link.PortOpen());
    EXPECT_EQ(s.Messages().back(), "Disconnected from hardware");
}

} // namespace
} // namespace orvane
