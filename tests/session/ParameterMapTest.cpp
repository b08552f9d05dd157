#include "session/ParameterMap.h"
#include "session/AcquisitionFigures.h"
#include "session/SamplePeriod.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

TEST(RegisterImage, FieldsBitsAndPairsLeaveTheOtherBitsAlone) {
    RegisterImage image;
    image.Set(16, 0xFFFF);
    image.SetField(16, 4, 3, 0);
    EXPECT_EQ(image.Get(16), 0xFF8F);
    image.SetField(16, 4, 3, 0xFF); // too wide: only the field's bits change
    EXPECT_EQ(image.Get(16), 0xFFFF);
    image.SetBit(16, 15, false);
    EXPECT_EQ(image.Field(16, 12, 4), 7);
    image.SetPair(56, 0x12345678u);
    EXPECT_EQ(image.Get(56), 0x5678);
    EXPECT_EQ(image.Get(57), 0x1234);
    EXPECT_EQ(image.Pair(56), 0x12345678u);
    image.Set(16, 0x0024);
    image.ConsumeOneShotBits();
    EXPECT_EQ(image.Get(16), 0x0010);
}

TEST(Threshold, EncodeAndDecode) {
    struct Case {
        int threshold, binning;
        std::uint32_t factor, encoded;
    } cases[] = {
        {0, 1, 1, 0xFFFFFFFFu},       // automatic
        {0, 32, 213483, 0xFFFFFFFFu}, // automatic whatever the factors
        {100, 2, 3, 600},
        {8192, 32, 270000, 0x7FFFFFFFu}, // the largest legal inputs saturate instead of wrapping
        {8192, 1, 262144, 0x7FFFFFFFu},  // 2^31 would read back as automatic
        {1, 1, 12, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.threshold);
        EXPECT_EQ(EncodeThreshold(c.threshold, c.binning, c.factor), c.encoded);
    }
    struct Back {
        std::uint32_t value;
        int binning;
        std::uint32_t factor;
        int threshold;
    } backs[] = {
        {0xFFFFFFFFu, 1, 1, 0}, // automatic
        {5, 2, 3, 1},           // below G × B reads as 1, not 0
        {0, 4, 7, 1},
        {600, 2, 3, 100},
        {100000u * 12, 4, 12, 2048}, // above 8192 × G: 8192 / B
        {0x7FFFFFFFu, 32, 270000, 248},
    };
    for (const Back& b : backs) {
        SCOPED_TRACE(b.value);
        EXPECT_EQ(DecodeThreshold(b.value, b.binning, b.factor), b.threshold);
    }
    EXPECT_EQ(EstimatedThreshold(0xFFFFFFF0u, 32, 270000), 0xFFFFFFF0u / (32u * 270000u));
}

TEST(Threshold, SlowThresholdZeroWritesAutomaticInBothWords) {
    RegisterImage image;
    image.SetPair(reg::kSlowThreshold, EncodeThreshold(0, 1, NormalizationFactor(image)));
    EXPECT_EQ(image.Get(34), 0xFFFF);
    EXPECT_EQ(image.Get(35), 0xFFFF);
    EXPECT_EQ(DecodeThreshold(image.Pair(34), 1, 1), 0);
}

TEST(NormalizationFactor, ReadsTheThirtyBitsAndClampsWrites) {
    RegisterImage image;
    EXPECT_EQ(NormalizationFactor(image), 1u); // 0 reads as 1
    image.Set(20, 0x41EB);
    image.Set(21, 0x8003);
    EXPECT_EQ(NormalizationFactor(image), 213483u);
    EXPECT_TRUE(image.Bit(21, 15));  // AUTO
    EXPECT_FALSE(image.Bit(21, 14)); // FINE
    SetNormalizationFactor(image, 0xFFFFFFFFu);
    EXPECT_EQ(NormalizationFactor(image), 0x3FFFFFFFu);
    EXPECT_TRUE(image.Bit(21, 15));
    image.Set(2, 240);
    image.Set(4, 16);
    EXPECT_EQ(FastFactor(image, 213483, 5), 16u * 213483u / 240u);
    image.Set(2, 0);
    EXPECT_EQ(FastFactor(image, 213483, 5), 5u);
    image.Set(2, 240);
    image.Set(4, 1);
    EXPECT_EQ(FastFactor(image, 1, 5), 1u); // never 0
}

TEST(Gains, FineAndCoarse) {
    EXPECT_EQ(FineGainRegister(0), 4095 * 16);
    EXPECT_EQ(FineGainRegister(4095), 0);
    EXPECT_EQ(FineGainFromRegister(FineGainRegister(1234)), 1234);
    EXPECT_DOUBLE_EQ(FineGainFactor(4095), 1.2);
    EXPECT_EQ(CoarseGainCode(32, 5), 6);
    EXPECT_EQ(CoarseGainPosition(32, 6), 5);
    EXPECT_EQ(CoarseGainPosition(32, 0x8000 | 6), 5); // other bits of register 18 do not matter
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(CoarseGainPosition(32, CoarseGainCode(32, i)), i);
    EXPECT_EQ(CoarseGainPosition(4, 3), 3);
    EXPECT_EQ(CoarseGainPosition(4, 0x1F), 3);
    const auto gains32 = CoarseGainList(32);
    EXPECT_NEAR(gains32.back(), 215.27, 0.005);
    const auto gains4 = CoarseGainList(4);
    EXPECT_NEAR(gains4[3], 2.83, 0.005);
    EXPECT_EQ(CoarseGainSteps(false, 1), 32);
    EXPECT_EQ(CoarseGainSteps(true, 1), 4);
    EXPECT_EQ(CoarseGainSteps(false, 0), 4);
    EXPECT_EQ(CoarseGainSteps(false, 9999), 4);
    EXPECT_EQ(CoarseGainSteps(false, 9999, true), 32);
}

TEST(SamplePeriod, ClockCodeSetsThePeriodAndMarksAChange) {
    SamplePeriod period;
    EXPECT_TRUE(period.Derive(0x1E0C)); // clock code 3
    EXPECT_DOUBLE_EQ(period.Ns(), 6.25);
    char text[16];
    std::snprintf(text, sizeof text, "%5.4f", SamplesToUs(240, period.Us()));
    EXPECT_STREQ(text, "1.5000");
    EXPECT_FALSE(period.Derive(0x000C));
    EXPECT_TRUE(period.Derive(0x0004));
    EXPECT_DOUBLE_EQ(period.Ns(), 10.0);
    period.Forget();
    EXPECT_TRUE(period.Derive(0x0004));
}

TEST(StartStamp, WordsAndText) {
    const StartStamp s = DecodeStamp(0x4A2F, 0x6B6A);
    EXPECT_EQ(s.day, 15);
    EXPECT_EQ(s.month, 1);
    EXPECT_EQ(s.year, 2037);
    EXPECT_EQ(s.hour, 13);
    EXPECT_EQ(s.minute, 27);
    EXPECT_EQ(s.second, 20);
    EXPECT_EQ(EncodeDateWord(2037, 1, 15), 0x4A2F);
    EXPECT_EQ(EncodeTimeWord(13, 27, 21), 0x6B6A);
    RegisterImage image;
    image.Set(22, 511);
    EXPECT_EQ(StartText(image), "WAITING FOR START");
    image.Set(22, 0x4A2F);
    image.Set(23, 0x6B6A);
    EXPECT_EQ(StartText(image), "15/01/2037  13:27:20");
    EXPECT_EQ(StartLabel(image), "START TIME: LOCAL");
    image.SetBit(16, 11, true);
    EXPECT_EQ(StartLabel(image), "START TIME: SYSTEM");
    image.SetBit(16, 10, true);
    EXPECT_EQ(StartLabel(image), "START TIME: UTC");
}

TEST(AcquisitionFigures, TimesFromTheRecordsOwnRegisters) {
    RegisterImage image;
    image.Set(15, 0x000C);   // 6.25 ns
    image.SetPair(56, 1000); // 10 s
    image.Set(60, 1000);     // 1000 × 16 × 6.25 ns = 0.1 ms
    image.SetPair(58, 750);
    const AcquisitionFigures f = ComputeAcquisitionFigures(image);
    EXPECT_DOUBLE_EQ(f.realSeconds, 10.0001);
    EXPECT_DOUBLE_EQ(f.liveSeconds, 7.5);
    EXPECT_NEAR(f.deadPercent, (10.0001 - 7.5) * 100 / 10.0001, 1e-9);
    EXPECT_EQ(DeadTimePercent(0.0, 5.0), 0.0); // no real time: no dead time
    EXPECT_EQ(DeadTimePercent(1.0, 2.0), 0.0); // never negative
}

TEST(Rates, CountsOverMeasuringWindows) {
    RegisterImage image;
    EXPECT_EQ(RateA(image, 0.0125), 0.0);
    image.Set(44, 2048);
    image.Set(46, 100);
    EXPECT_NEAR(RateA(image, 0.0125), 2048 / (100 * 2048 * 0.0125e-6), 1e-6);
    EXPECT_EQ(RateB(image, 0.0125), 0.0);
}

TEST(DerivedShaperTiming, SixteenBitArithmetic) {
    RegisterImage image;
    image.Set(2, 240);
    image.Set(3, 1);
    image.Set(4, 16);
    image.Set(5, 1);
    DeriveShaperTiming(image);
    EXPECT_EQ(image.Get(32), 240 / 32 + 1 + 240);
    EXPECT_EQ(image.Get(33), 236);
    EXPECT_EQ(image.Get(38), 480);
    EXPECT_EQ(image.Get(39), 28);
    EXPECT_EQ(image.Get(40), 5);
    EXPECT_EQ(image.Get(41), 2 * (240 + 1 - 16) + 15 - 1);
    image.Set(2, 1);
    image.Set(4, 1020);
    DeriveShaperTiming(image);
    EXPECT_EQ(image.Get(33), 0xFFFD);
    EXPECT_EQ(image.Get(41), static_cast<std::uint16_t>(2 * (1 + 1 - 1020) + 0 - 1));
}

TEST(DigitalIo, DrivesAndFunctionsRoundTrip) {
    RegisterImage image;
    for (Output o : {Output::Rout, Output::S, Output::T}) {
        for (int d = kDriveDisabled; d <= kDriveInvOpenDrain; ++d) {
            SetDrive(image, o, d);
            EXPECT_EQ(DriveOf(image, o), d);
        }
        SetOutputFunction(image, o, 3);
        EXPECT_EQ(OutputFunctionOf(image, o), 3);
    }
    SetDrive(image, Output::Rout, kDriveInvOpenDrain);
    EXPECT_EQ(image.Get(75) & 0x4480, 0x4480); // bits 14, 7 and 10
    for (int f = kDinSlowAdc; f <= kDinInvCoincidence; ++f) {
        SetDinFunction(image, f);
        EXPECT_EQ(DinFunctionOf(image), f);
    }
    for (int f = kRinNone; f <= kRinInvCoincidence; ++f) {
        SetRinFunction(image, f);
        EXPECT_EQ(RinFunctionOf(image), f);
    }
    image.Set(75, 0x0008); // bit 3 without bit 4 is still SLOW ADC
    EXPECT_EQ(DinFunctionOf(image), kDinSlowAdc);
}

} // namespace
} // namespace orvane
