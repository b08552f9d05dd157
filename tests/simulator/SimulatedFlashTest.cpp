#include "simulator/SimulatedFlash.h"
#include "device/Frames.h"
#include "simulator/SimulatedInstrument.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using namespace frames;
using test::Bytes;
using test::Hex;

std::vector<std::uint8_t> Frame(std::uint16_t code, std::uint32_t address,
                                const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> f(9 + body.size());
    Put16(&f[0], code);
    Put16(&f[2], static_cast<std::uint16_t>(f.size()));
    Put32(&f[4], address);
    std::copy(body.begin(), body.end(), f.begin() + 8);
    f.back() = Checksum(f.data(), f.size() - 1);
    return f;
}

struct Instrument {
    std::size_t Answer(const std::vector<std::uint8_t>& frame) {
        return instrument.Answer(frame.data(), frame.size(), reply.data());
    }
    std::vector<std::uint8_t> Reply(std::size_t size) const { return {reply.begin(), reply.begin() + size}; }

    test::FakeLoop clock;
    SimulatedInstrument instrument{clock, SimulatorOptions{}};
    std::array<std::uint8_t, SimulatedInstrument::kMaxReply> reply{};
};

TEST(SimulatedFlash, WritesAndReadsBack512ByteBlocksByteExactly) {
    Instrument in;
    std::vector<std::uint8_t> body(512);
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_EQ(in.Answer(Frame(0xD2, 0x1200, body)), 9u);
    EXPECT_EQ(Hex(in.Reply(9)), "D2 00 09 00 00 12 00 00 14");
    EXPECT_EQ(in.instrument.Flash().Byte(0x1200 + 3), 21);

    // Read from the middle of the written block into flash that was never written.
    ASSERT_EQ(in.Answer(Frame(0xD7, 0x1300, {0x00, 0x02})), 523u);
    const auto reply = in.Reply(523);
    EXPECT_EQ(Hex({reply.begin(), reply.begin() + 10}), "D7 00 0B 02 00 13 00 00 00 02");
    EXPECT_EQ(reply[10], body[256]);
    EXPECT_EQ(reply[10 + 255], body[511]);
    EXPECT_EQ(reply[10 + 256], 0xFF);
    EXPECT_EQ(reply[521], 0xFF);
    EXPECT_EQ(reply[522], Checksum(reply.data(), 522));
}

TEST(SimulatedFlash, ConfiguresOnlyWithTheKeyAndIgnoresMalformedFrames) {
    Instrument in;
    ASSERT_EQ(in.Answer(Bytes("F6 00 09 00 44 55 BB AA 04")), 9u);
    EXPECT_EQ(Hex(in.Reply(9)), "F6 00 09 00 44 55 BB AA 04");
    EXPECT_EQ(in.instrument.Flash().Configurations(), 1u);
    EXPECT_EQ(in.Answer(Frame(0xF6, 0xAABB5545, {})), 0u);
    EXPECT_EQ(in.instrument.Flash().Configurations(), 1u);

    EXPECT_EQ(in.Answer(Frame(0xD2, 0, std::vector<std::uint8_t>(100))), 0u); // short block
    EXPECT_EQ(in.Answer(Frame(0xD2, SimulatedFlash::kCapacity - 256, std::vector<std::uint8_t>(512))), 0u);
    EXPECT_EQ(in.Answer(Frame(0xD7, 0, {0x01, 0x02})), 0u); // more than a block
    EXPECT_EQ(in.instrument.Flash().Byte(SimulatedFlash::kCapacity - 1), 0xFF);
}

} // namespace
} // namespace orvane
