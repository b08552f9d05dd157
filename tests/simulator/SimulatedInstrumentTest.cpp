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
