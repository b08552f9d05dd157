#include "simulator/SimulatedInstrument.h"
#include "device/Frames.h"
#include "simulator/FrameParser.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace orvane {
namespace {

using namespace frames;
using test::Bytes;
using test::Hex;

std::vector<std::uint8_t> WriteFrame(std::uint16_t first, const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> f(9 + 2 * words.size());
    f[0] = kWriteOpcode;
    Put16(&f[2], static_cast<std::uint16_t>(f.size()));
    Put32(&f[4], Address(kSelectWrite, kRegisterBase + first));
    for (std::size_t i = 0; i < words.size(); ++i)
        Put16(&f[8 + 2 * i], words[i]);
    f.back() = Checksum(f.data(), f.size() - 1);
    return f;
}

TEST(SimulatedInstrument, KeepsTheWordsTheHostOnlyReads) {
    test::FakeLoop clock;
    SimulatorOptions options;
    options.register15 = 0x1E04;
    SimulatedInstrument instrument(clock, options);
    instrument.SetRegister(16, 0x8000); // trace ready
    std::vector<std::uint16_t> words(128, 0x1234);
    words[16] = 0x0003;
    const auto frame = WriteFrame(0, words);
    std::uint8_t reply[SimulatedInstrument::kMaxReply];
    ASSERT_EQ(instrument.Answer(frame.data(), frame.size(), reply), 9u);
    EXPECT_EQ(instrument.Register(14), 0x1234);
    EXPECT_EQ(instrument.Register(15), 0x1E04);
    EXPECT_EQ(instrument.Register(16), 0x8003);
    EXPECT_EQ(instrument.Register(19), 0x1234 & ~0x7000);
    EXPECT_EQ(instrument.Register(44), 0);
    EXPECT_EQ(instrument.Register(64), 0x1234);
}

TEST(SimulatedInstrument, AnswersReadsOfEveryKindAndIgnoresUnknownAddresses) {
    test::FakeLoop clock;
    SimulatedInstrument instrument(clock, {});
    std::uint8_t reply[SimulatedInstrument::kMaxReply];
    const auto regs = Bytes("64 00 0B 00 01 80 40 00 FE 00 D3");
    ASSERT_EQ(instrument.Answer(regs.data(), regs.size(), reply), 279u);
    EXPECT_EQ(Hex({reply, reply + 8}), "64 00 17 01 01 80 40 00");
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 279; ++i)
        sum += reply[i];
    EXPECT_EQ(sum % 256, 1u);

    instrument.SetChannel(16383, 77);
    std::vector<std::uint8_t> last(11);
    last[0] = kReadOpcode;
    Put16(&last[2], 11);
    Put32(&last[4], Address(kSelectRead, 2 * 16383));
    Put16(&last[8], 8); // one channel past the end reads as 0
    last[10] = Checksum(last.data(), 10);
    ASSERT_EQ(instrument.Answer(last.data(), last.size(), reply), 33u);
    EXPECT_EQ(Get32(reply + 24), 77u);
    EXPECT_EQ(Get32(reply + 28), 0u);

    last[6] = 0x11; // an unknown selector
    last[10] = Checksum(last.data(), 10);
    EXPECT_EQ(instrument.Answer(last.data(), last.size(), reply), 0u);
}

TEST(FrameParser, FindsFramesInNoiseAndMarksBadChecksums) {
    FrameParser parser;
    auto stream = Bytes("FF 00 13 64");
    const auto good = Bytes("64 00 0B 00 01 80 40 00 FE 00 D3");
    auto bad = good;
    bad.back() ^= 1;
    stream.insert(stream.end(), good.begin(), good.end());
    stream.insert(stream.end(), bad.begin(), bad.end());
    // Fed one byte at a time, as a slow line would deliver it.
    std::vector<FrameParser::Frame> found;
    std::vector<std::vector<std::uint8_t>> bytes;
    for (std::uint8_t b : stream) {
        parser.Feed(&b, 1);
        FrameParser::Frame f;
        while (parser.Next(f)) {
            found.push_back(f);
            bytes.emplace_back(f.bytes, f.bytes + f.size);
        }
    }
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(bytes[0], good);
    EXPECT_TRUE(found[0].valid);
    EXPECT_FALSE(found[1].valid);
}

TEST(PtySimulator, SurvivesTheHostClosingAndReopening) {
    test::FakeLoop clock;
    test::SimulatedLine line(clock);
    const auto frame = Bytes("64 00 0B 00 01 80 40 00 FE 00 D3");
    for (int session = 0; session < 3; ++session) {
        const int fd = ::open(line.Path().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, frame.data(), frame.size()), 11);
        std::vector<std::uint8_t> reply;
        while (reply.size() < 279) {
            std::uint8_t chunk[512];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            ASSERT_GT(n, 0);
            reply.insert(reply.end(), chunk, chunk + n);
        }
        EXPECT_EQ(reply.size(), 279u);
        ::close(fd);
    }
    // The reply is counted once the instrument's write returned, which may be after the host read it.
    EXPECT_TRUE(clock.RunUntil([&] { return line.Simulator().RepliesSent() == 3u; }));
}

} // namespace
} // namespace orvane

namespace orvane {
namespace {

// Talks to the instrument frame by frame, on a fake clock.
struct Bench {
    explicit Bench(SimulatorOptions options = {}) : instrument(clock, options) {}
    void Write(std::uint16_t first, const std::vector<std::uint16_t>& words) {
        const auto frame = WriteFrame(first, words);
        ASSERT_EQ(instrument.Answer(frame.data(), frame.size(), reply), 9u);
    }
    std::uint16_t Read(int k) {
        std::vector<std::uint8_t> f(11);
        f[0] = kReadOpcode;
        Put16(&f[2], 11);
        Put32(&f[4], Address(kSelectRead, static_cast<std::uint16_t>(kRegisterBase + k)));
        Put16(&f[8], 2);
        f[10] = Checksum(f.data(), 10);
        EXPECT_EQ(instrument.Answer(f.data(), f.size(), reply), 27u);
        return Get16(reply + 24);
    }
    void ReadTrace() {
        const auto f = Bytes("64 00 0B 00 00 80 00 00 00 04 0E");
        ASSERT_EQ(instrument.Answer(f.data(), f.size(), reply), 1049u);
    }
    test::FakeLoop clock;
    SimulatedInstrument instrument;
    std::uint8_t reply[SimulatedInstrument::kMaxReply];
};

TEST(SimulatedAcquisition, ARealTimePresetEndsTheRunWithCountsInThePeak) {
    SimulatorOptions options;
    options.countRate = 20000;
    Bench b(options);
    b.Write(42, {100, 0}); // 1 s preset
    b.Write(16, {0x0007}); // clear and run
    b.clock.Advance(500);
    EXPECT_EQ(b.Read(56), 50); // 0.5 s in units of 10 ms
    EXPECT_EQ(b.Read(16) & 1, 1);
    EXPECT_GT(b.Read(44), 0);  // a rate while running
    EXPECT_LT(b.Read(58), 50); // live time lags
    b.clock.Advance(700);
    EXPECT_EQ(b.Read(56), 100); // stopped exactly at the preset
    EXPECT_EQ(b.Read(16) & 3, 0);
    EXPECT_EQ(b.Read(44), 0);
    std::uint64_t peak = 0, total = 0;
    for (std::size_t c = 0; c < 16384; ++c) {
        total += b.instrument.Channel(c);
        if (c > 6560 && c < 6680)
            peak += b.instrument.Channel(c);
    }
    EXPECT_NEAR(static_cast<double>(total), 20000.0 / 1.04, 2000.0);
    EXPECT_GT(peak, total / 5);
    b.Write(16, {0x0004}); // a clear request empties the memory and the timers
    EXPECT_EQ(b.instrument.Channel(6620), 0u);
    EXPECT_EQ(b.Read(56), 0);
}

TEST(SimulatedAcquisition, ALiveTimePresetCountsLiveTime) {
    Bench b;
    b.Write(42, {50, 0});
    b.Write(16, {0x000F}); // live preset, clear, run
    b.clock.Advance(2000);
    EXPECT_EQ(b.Read(58), 50);
    EXPECT_GT(b.Read(56), 50 - 1);
    EXPECT_EQ(b.Read(16) & 1, 0);
}

TEST(SimulatedAcquisition, TraceReadyComesBackAfterARead) {
    Bench b;
    EXPECT_TRUE(b.Read(16) & 0x8000); // a trace stands ready at power-up
    b.ReadTrace();
    EXPECT_FALSE(b.Read(16) & 0x8000);
    b.clock.Advance(60);
    EXPECT_TRUE(b.Read(16) & 0x8000);
    std::uint16_t highest = 0;
    for (std::size_t i = 0; i < 512; ++i)
        highest = std::max(highest, b.instrument.TraceWord(i));
    EXPECT_GT(highest, 5000); // a pulse, not a flat line
}

TEST(SimulatedAcquisition, TheAutomaticPoleZeroStepsAndEndsWithAValue) {
    Bench b;
    b.Write(19, {0x8000});
    b.clock.Advance(450);
    EXPECT_EQ((b.Read(19) >> 12) & 7, 2);
    EXPECT_TRUE(b.Read(19) & 0x8000);
    b.clock.Advance(1000);
    const std::uint16_t done = b.Read(19);
    EXPECT_FALSE(done & 0x8000);
    EXPECT_NE(done & 0x0FFF, 0);
}

} // namespace
} // namespace orvane
