#include "device/LinkTransaction.h"
#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/SerialEventDispatch.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane {
namespace {

using namespace frames;
using test::Bytes;
using test::FakeLoop;
using test::Hex;

// The protocol against the simulated instrument on a real pseudo-terminal, on a fake clock.
class Link : public LinkTransactionClient {
public:
    explicit Link(const SimulatorOptions& options = {})
        : line(loop, options), log(loop, nullptr), window(loop,
                                                          [this](std::uint32_t param) {
                                                              ++notifications;
                                                              DispatchSerialEvent(param, log, link);
                                                          }),
          link(port, log, loop, *this) {
        EXPECT_EQ(port.OpenForWindow(line.Path(), &window, 0, 0, 2000, 2000), 0);
        port.SetLineFormat(921600, 8, 0, 0);
        port.SetEventMask(serial::kEventReceived | serial::kEventLineError);
        port.SetFlowControl(serial::kFlowRtsCts);
    }
    ~Link() override { port.ClosePort(); }

    int PlatformCode() const override { return kPlatformKiramo; }
    void StoreReadings(const Readings& r) override { readings = r; }
    void OnCommandComplete() override {
        ++completions;
        link.SetBusy(false);
    }
    void OnCommunicationTimeout() override { ++timeouts; }

    void StartRead(std::uint8_t selector, std::uint16_t word, std::uint16_t size,
                   CommandKind kind = CommandKind::RegisterRead) {
        link.Prepare(kind, Address(selector, word), size);
        EXPECT_EQ(link.SendRead(), 1);
    }
    void StartWrite(std::uint16_t first, const std::vector<std::uint16_t>& words) {
        link.Prepare(CommandKind::RegisterWrite, Address(kSelectWrite, kRegisterBase + first),
                     static_cast<std::uint16_t>(2 * words.size()));
        for (std::size_t i = 0; i < words.size(); ++i)
            Put16(link.Payload() + 2 * i, words[i]);
        EXPECT_EQ(link.SendWrite(), 1);
    }
    bool AwaitCompletions(int count) {
        return loop.RunUntil([&] { return completions >= count; });
    }
    // Link-timer ticks: 200 ms of fake time each.
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            loop.Advance(200);
            link.TimeoutTick();
        }
    }
    // The log's messages without their time prefix, "Start Application" left out.
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (std::size_t i = 1; i < log.Lines().size(); ++i)
            messages.push_back(log.Lines()[i].text.substr(OutputLog::Prefix({}).size()));
        return messages;
    }
    int Count(const std::string& message) const {
        const auto m = Messages();
        return static_cast<int>(std::count(m.begin(), m.end(), message));
    }
    std::vector<std::uint8_t> LastFrame() {
        loop.RunUntil([&] { return !line.Simulator().History().empty(); });
        const auto history = line.Simulator().History();
        return history.empty() ? std::vector<std::uint8_t>{} : history.back().frame;
    }

    FakeLoop loop;
    test::SimulatedLine line;
    OutputLog log;
    CSerialMFC port;
    CallbackSerialWindow window;
    LinkTransaction link;
    Readings readings;
    int completions = 0, timeouts = 0, notifications = 0;
};

TEST(LinkTransaction, RegisterReadFrameReplyAndStatusBlock) {
    Link l;
    l.StartRead(kSelectRead, 0x8001, 254);
    EXPECT_EQ(l.link.Expected(), 279u);
    EXPECT_TRUE(l.link.Busy());
    EXPECT_EQ(l.link.Countdown(), 22);
    ASSERT_TRUE(l.AwaitCompletions(1));
    EXPECT_EQ(Hex(l.LastFrame()), "64 00 0B 00 01 80 40 00 FE 00 D3");
    EXPECT_EQ(Get16(l.link.ReplyData()), 8000); // register 1 as the instrument holds it
    EXPECT_EQ(l.readings.serialNumber, 4711);
    EXPECT_DOUBLE_EQ(l.readings.adcTemperature, 1.25);
    EXPECT_TRUE(l.link.Responding());
    EXPECT_FALSE(l.link.ReadError());
    EXPECT_TRUE(l.Messages().empty());
}

TEST(LinkTransaction, TraceReadFrame) {
    Link l;
    l.line.Simulator().Instrument().SetTraceWord(511, 0xBEEF);
    l.StartRead(kSelectTrace, 0x8000, 1024, CommandKind::TraceRead);
    EXPECT_EQ(l.link.Expected(), 1049u);
    ASSERT_TRUE(l.AwaitCompletions(1));
    EXPECT_EQ(Hex(l.LastFrame()), "64 00 0B 00 00 80 00 00 00 04 0E");
    EXPECT_EQ(Get16(l.link.ReplyData() + 1022), 0xBEEF);
}

TEST(LinkTransaction, WriteOfRegisters16To25AndItsReply) {
    Link l;
    l.StartWrite(16, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(l.link.Expected(), 9u);
    ASSERT_TRUE(l.AwaitCompletions(1));
    const auto history = l.line.Simulator().History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].frame.size(), 29u);
    EXPECT_EQ(Hex({history[0].frame.begin() + 4, history[0].frame.begin() + 8}), "10 80 C0 00");
    EXPECT_EQ(Hex(history[0].reply), "6E 00 09 00 10 80 C0 00 3A");
    EXPECT_EQ(l.line.Simulator().Instrument().Register(25), 10);
    // Nothing that arrives later can complete the accepted write.
    EXPECT_EQ(l.link.Expected(), LinkTransaction::kExpectNothing);
}

TEST(LinkTransaction, AWrongAddressEchoIsRejectedEvenWithARightChecksum) {
    SimulatorOptions options;
    options.wrongEchoEvery = 1;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254);
    ASSERT_TRUE(l.loop.RunUntil([&] { return l.Count("Repeat Read Command") == 1; }));
    EXPECT_EQ(l.completions, 0);
    EXPECT_TRUE(l.link.ReadError());
    EXPECT_TRUE(l.link.ReplyError());
    EXPECT_TRUE(l.link.Pausing());
    // Every try fails the same way: three repetitions, then the final failure.
    for (int attempt = 2; attempt <= 4; ++attempt) {
        l.loop.Advance(1000);
        ASSERT_TRUE(
            l.loop.RunUntil([&] { return static_cast<int>(l.line.Simulator().RepliesSent()) == attempt; }));
        l.loop.RunUntil([&] { return l.Messages().size() == static_cast<std::size_t>(attempt); });
    }
    EXPECT_EQ(l.Count("Repeat Read Command"), 3);
    EXPECT_EQ(l.Count("Max Number of Repeat Read Reached"), 1);
    EXPECT_FALSE(l.link.Responding());
    EXPECT_TRUE(l.link.Busy());
    EXPECT_EQ(l.link.SendRead(), -1); // a failed link stays failed
}

TEST(LinkTransaction, AWriteReplyWithAWrongChecksumIsRepeatedAndTheRepeatCompletes) {
    SimulatorOptions options;
    options.corruptChecksumEvery = 2;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254); // reply 1 is good
    ASSERT_TRUE(l.AwaitCompletions(1));
    l.StartWrite(16, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}); // reply 2 is corrupt
    ASSERT_TRUE(l.loop.RunUntil([&] { return l.Count("Repeat Write Command") == 1; }));
    EXPECT_EQ(l.link.Expected(), 9u);
    EXPECT_EQ(l.link.RetryCount(), 2);
    l.loop.Advance(999);
    EXPECT_EQ(l.line.Simulator().FramesReceived(), 2u); // still pausing
    l.loop.Advance(1);
    ASSERT_TRUE(l.AwaitCompletions(2));
    EXPECT_EQ(l.link.Expected(), LinkTransaction::kExpectNothing);
    EXPECT_EQ(l.Messages(), std::vector<std::string>{"Repeat Write Command"});
}

TEST(LinkTransaction, ASilentDeviceIsRepeatedThreeTimesThenTimedOut) {
    SimulatorOptions options;
    options.silentAfter = 0;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254);
    int ticks = 0;
    unsigned attempts = 1;
    while (l.timeouts == 0 && ticks < 200) {
        // Real time stands still while fake time races: let each frame reach the instrument before the
        // next purge could take it off the line.
        ASSERT_TRUE(l.loop.RunUntil([&] { return l.line.Simulator().FramesReceived() >= attempts; }));
        const bool pausing = l.link.Pausing();
        const int countdown = l.link.Countdown();
        l.Tick();
        ++ticks;
        if (pausing && l.link.Pausing()) {
            EXPECT_EQ(l.link.Countdown(), countdown); // the pause stops the countdown
        }
        if (pausing && !l.link.Pausing())
            ++attempts;
    }
    EXPECT_EQ(l.timeouts, 1);
    EXPECT_EQ(l.Messages(), (std::vector<std::string>{
                                "Repeat Read Command", "Repeat Read Command", "Repeat Read Command",
                                "Max Number of Repeat Read Reached", "Communication Time Out- Timer"}));
    // Four attempts of 23 ticks each; each 1000 ms pause swallows four ticks, the fifth counts again.
    EXPECT_EQ(ticks, 4 * 23 + 3 * 4);
    EXPECT_EQ(l.line.Simulator().FramesReceived(), 4u);
    EXPECT_FALSE(l.link.Busy());
    EXPECT_TRUE(l.link.ReadError());
    EXPECT_FALSE(l.link.Responding());
}

TEST(LinkTransaction, AReplySplitIntoManyPiecesIsCollected) {
    SimulatorOptions options;
    options.splitPieces = 12;
    options.splitDelayMs = 3;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254);
    ASSERT_TRUE(l.AwaitCompletions(1));
    EXPECT_GT(l.notifications, 1);
    EXPECT_TRUE(l.Messages().empty());
}

TEST(LinkTransaction, AHalfSpectrumArrivesWhole) {
    Link l;
    for (std::size_t c = 0; c < 8192; ++c)
        l.line.Simulator().Instrument().SetChannel(8192 + c, static_cast<std::uint32_t>(c * 100003u));
    l.StartRead(kSelectRead, 2 * 8192, 32768, CommandKind::SpectrumChunk);
    EXPECT_EQ(l.link.Expected(), 32793u);
    ASSERT_TRUE(l.AwaitCompletions(1));
    for (std::size_t c = 0; c < 8192; c += 1023)
        EXPECT_EQ(Get32(l.link.ReplyData() + 4 * c), c * 100003u);
    EXPECT_EQ(Get32(l.link.ReplyData() + 4 * 8191), 8191u * 100003u);
}

TEST(LinkTransaction, BytesAfterAnAcceptedReplyCompleteNothing) {
    SimulatorOptions options;
    options.strayAfterReply = 200;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254);
    ASSERT_TRUE(l.AwaitCompletions(1));
    l.loop.RunFor(100);
    EXPECT_EQ(l.completions, 1);
    EXPECT_EQ(l.link.Received(), 0u);
    // The stray bytes were dropped, so the next command's reply is read clean.
    l.StartRead(kSelectRead, 0x8001, 254);
    ASSERT_TRUE(l.AwaitCompletions(2));
    EXPECT_TRUE(l.Messages().empty());
}

TEST(LinkTransaction, ALineThatBabblesWhileIdleIsReadAndDropped) {
    SimulatorOptions options;
    options.strayEveryMs = 1;
    Link l(options);
    l.loop.RunFor(200);
    EXPECT_GT(l.notifications, 5);
    EXPECT_EQ(l.link.Received(), 0u);
    EXPECT_EQ(l.completions, 0);
}

TEST(LinkTransaction, DrainInputDiscardsWhatIsWaiting) {
    Link l;
    l.StartRead(kSelectRead, 0x8001, 254);
    // Take the reply off the line before the receive path sees it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    l.link.DrainInput();
    std::uint8_t byte = 0;
    std::size_t read = 1;
    l.port.ReadBytes(&byte, 1, &read);
    EXPECT_EQ(read, 0u);
}

TEST(LinkTransaction, ResetForgetsARepetitionInItsPause) {
    SimulatorOptions options;
    options.corruptChecksumEvery = 1;
    Link l(options);
    l.StartRead(kSelectRead, 0x8001, 254);
    ASSERT_TRUE(l.loop.RunUntil([&] { return l.link.Pausing(); }));
    l.link.Reset();
    EXPECT_FALSE(l.link.Pausing());
    EXPECT_FALSE(l.link.Busy());
    l.loop.Advance(2000);
    l.loop.RunFor(50);
    EXPECT_EQ(l.line.Simulator().FramesReceived(), 1u); // the repetition was never sent
}

} // namespace
} // namespace orvane
