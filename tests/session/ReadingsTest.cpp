#include "session/Readings.h"
#include "device/Frames.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

std::array<std::uint8_t, 16> Block(std::uint16_t fw, std::uint16_t sn, std::uint16_t bias, std::uint16_t w4,
                                   std::uint16_t cooling, std::uint16_t internal) {
    std::array<std::uint8_t, 16> b{};
    const std::uint16_t words[8] = {fw, sn, bias, 0xAAAA, w4, cooling, internal, 0x5555};
    for (int i = 0; i < 8; ++i)
        frames::Put16(b.data() + 2 * i, words[i]);
    return b;
}

TEST(Readings, DecodeFollowsThePlatformRule) {
    struct Case {
        int platform;
        std::uint16_t bias, word4, cooling, internal;
        std::int32_t wantBias;
        double wantAdc;
        std::int32_t wantCooling;
        std::int16_t wantInternal;
    } cases[] = {
        {kPlatformVelusk, 500, 0xFFF6, 330, 35, -500, -10.0, 100, 35},
        {kPlatformVelusk, 0, 25, 329, 0xFFFE, 0, 25.0, 99, -2},
        {kPlatformKiramo, 40000, 1250, 165, 31, 40000, 1.25, 50, 31},
        {kPlatformDravon, 7, 65535, 1, 20, 7, 65.535, 0, 20},
        {kPlatformUnknown, 100, 3300, 0, 20, 100, 3.3, 0, 20},
    };
    for (const Case& c : cases) {
        const auto block = Block(205, 4711, c.bias, c.word4, c.cooling, c.internal);
        const Readings r = DecodeStatusBlock(block.data(), c.platform);
        SCOPED_TRACE(c.platform);
        EXPECT_EQ(r.firmwareVersion, 205);
        EXPECT_EQ(r.serialNumber, 4711);
        EXPECT_EQ(r.bias, c.wantBias);
        EXPECT_DOUBLE_EQ(r.adcTemperature, c.wantAdc);
        EXPECT_EQ(r.coolingPercent, c.wantCooling);
        EXPECT_EQ(r.internalTemperature, c.wantInternal);
    }
}

TEST(Readings, FirmwareIsSigned) {
    const auto block = Block(0xFFFF, 65535, 0, 0, 0, 0);
    const Readings r = DecodeStatusBlock(block.data(), kPlatformKiramo);
    EXPECT_EQ(r.firmwareVersion, -1);
    EXPECT_EQ(r.serialNumber, 65535);
}

} // namespace
} // namespace orvane
