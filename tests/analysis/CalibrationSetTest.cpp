#include "analysis/CalibrationSet.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(CalibrationSet, TheThreeHundredSixtyByteLayoutRoundTrips) {
    CalibrationSet set;
    set.a = 1.5e-6;
    set.b = 0.25;
    set.c = -3.0;
    set.channel[0] = 100.0;
    set.energy[0] = 661.657;
    set.use[0] = 1;
    set.channel[9] = 9000.5;
    set.useAll = 1;
    set.count = 10;
    set.units = 2;
    set.enabled = 1;
    const auto bytes = set.Serialize();
    EXPECT_EQ(bytes.size(), 360u);
    // b = 0.25 is 0x3FD0000000000000, little-endian at offset 8.
    EXPECT_EQ(bytes[8], 0x00);
    EXPECT_EQ(bytes[14], 0xD0);
    EXPECT_EQ(bytes[15], 0x3F);
    EXPECT_EQ(bytes[280], 1);  // use[0]
    EXPECT_EQ(bytes[348], 10); // count
    EXPECT_EQ(bytes[356], 1);  // enabled
    CalibrationSet back;
    ASSERT_TRUE(CalibrationSet::Parse(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back, set);
    EXPECT_FALSE(CalibrationSet::Parse(bytes.data(), 359, back));
    EXPECT_EQ(CalibrationUnitName(1), " eV");
    EXPECT_EQ(CalibrationUnitName(42), "chn");
}

} // namespace
} // namespace orvane
