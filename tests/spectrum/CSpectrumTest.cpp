#include "spectrum/CSpectrum.h"

#include <gtest/gtest.h>

#include <numeric>

namespace orvane {
namespace {

struct Recorder : SpectrumObserver {
    int activated = 0, sizes = 0, calibration = 0;
    std::vector<std::pair<int, int>> factors;
    void OnActivated(CSpectrum&) override { ++activated; }
    void OnSizesChanged(CSpectrum&) override { ++sizes; }
    void OnBinningFactorChanged(CSpectrum&, int from, int to) override { factors.emplace_back(from, to); }
    void OnCalibrationReplaced(CSpectrum&) override { ++calibration; }
};

// A shown record whose hard channel h holds h + 1 counts.
CSpectrum Ramp() {
    CSpectrum s(true);
    s.SetShown(true);
    for (int h = 0; h < CSpectrum::kChannels; ++h)
        s.HardCounts()[h] = static_cast<std::uint32_t>(h + 1);
    return s;
}

std::uint32_t HardSum(const CSpectrum& s, int from, int to) {
    std::uint32_t sum = 0;
    for (int h = from; h <= to; ++h)
        sum += s.HardCounts()[h];
    return sum;
}

TEST(CSpectrum, CreationState) {
    CSpectrum s(false);
    EXPECT_EQ(s.HardSize(), 16384);
    EXPECT_EQ(s.SoftSize(), 16384);
    EXPECT_EQ(s.BinningFactor(), 1);
    EXPECT_EQ(s.PlatformCode(), 9999);
    EXPECT_EQ(s.Image().Get(15), 0x0E00);
    EXPECT_EQ(s.Image().Get(16), 0);
    EXPECT_EQ(s.Tag(), "Orvane-MCA spectrum");
    EXPECT_EQ(s.Title(), "(Not Loaded)");
    EXPECT_EQ(s.LastRegister18(), 0xFFFF);
    EXPECT_EQ(s.WorkingCalibration(1).b, 1.0);
    EXPECT_FALSE(s.IsBuffer());
}

TEST(CSpectrum, FoldingPutsThePartialBinIntoTheLastChannel) {
    struct Case {
        int hard, soft, factor, lastFrom, lastTo;
    } cases[] = {
        {16384, 5461, 3, 16380, 16383}, {16384, 3276, 5, 16375, 16383}, {16384, 1489, 11, 16368, 16383},
        {16384, 780, 21, 16359, 16383}, {16384, 8192, 2, 16382, 16383}, {8192, 5461, 1, 5460, 5460},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.soft);
        CSpectrum s = Ramp();
        s.SetSizes(c.hard, c.soft);
        EXPECT_EQ(s.BinningFactor(), c.factor);
        EXPECT_EQ(s.SoftCounts()[c.soft - 1], HardSum(s, c.lastFrom, c.lastTo));
        EXPECT_EQ(s.SoftCounts()[0], HardSum(s, 0, c.factor - 1));
        EXPECT_EQ(s.SoftCounts()[c.soft / 2],
                  HardSum(s, c.soft / 2 * c.factor, c.soft / 2 * c.factor + c.factor - 1));
    }
}

TEST(CSpectrum, SetSizesRaisesHardToSoftAndResetsTheViewOnlyOnChange) {
    Recorder events;
    CSpectrum s = Ramp();
    s.SetObserver(&events);
    s.SetSizes(4096, 8192);
    EXPECT_EQ(s.HardSize(), 8192);
    EXPECT_EQ(s.SoftSize(), 8192);
    EXPECT_EQ(s.BinningFactor(), 1);
    EXPECT_EQ(s.Cursor(), 4096);
    EXPECT_EQ(s.LastChannel(), 8191);
    s.SetView(100, 200);
    s.HardCounts()[150] = 7;
    s.SetSizes(8192, 8192); // same sizes: refolds, keeps the view
    EXPECT_EQ(s.FirstChannel(), 100);
    EXPECT_EQ(s.SoftCounts()[150], 7u);
    EXPECT_EQ(events.sizes, 1);
    EXPECT_EQ(events.activated, 2);
    EXPECT_TRUE(events.factors.empty()); // factor stayed 1: automatic thresholds are left alone
    s.SetSizes(16384, 4096);
    EXPECT_EQ(events.factors, (std::vector<std::pair<int, int>>{{1, 4}}));
}

TEST(CSpectrum, SoftMarksNeedEveryHardChannel) {
    CSpectrum s = Ramp();
    s.SetSizes(16384, 4096); // F = 4
    for (int h = 8; h < 12; ++h)
        s.HardMarks()[h] = 1;
    s.HardMarks()[13] = 1; // only part of soft channel 3
    s.RebuildSoftMarks();
    EXPECT_EQ(s.SoftMarks()[2], 1);
    EXPECT_EQ(s.SoftMarks()[3], 0);
    EXPECT_EQ(s.SoftMarks()[1], 0);
}

TEST(CSpectrum, FoldBlockRefoldsTouchedChannelsOnlyWhileShown) {
    CSpectrum s = Ramp();
    s.SetSizes(16384, 5461);
    s.HardCounts()[16383] += 1000;
    s.HardCounts()[3] += 5;
    s.FoldBlock(16000, 384);
    EXPECT_EQ(s.SoftCounts()[5460], HardSum(s, 16380, 16383));
    EXPECT_NE(s.SoftCounts()[1], HardSum(s, 3, 5)); // outside the block
    s.FoldBlock(0, 4);
    EXPECT_EQ(s.SoftCounts()[1], HardSum(s, 3, 5));
    s.SetShown(false);
    s.HardCounts()[0] = 0;
    s.FoldBlock(0, 3);
    EXPECT_NE(s.SoftCounts()[0], 0u);
    // Factor 1 copies the block.
    CSpectrum one = Ramp();
    one.SetSizes(16384, 16384);
    one.HardCounts()[16383] = 42;
    one.FoldBlock(14350, 2034);
    EXPECT_EQ(one.SoftCounts()[16383], 42u);
}

TEST(CSpectrum, CopiesBetweenRecords) {
    CSpectrum buffer = Ramp();
    CSpectrum file(false);
    file.SetShown(true);
    buffer.HardMarks()[10] = 1;
    file.CopyRoiFrom(buffer);
    EXPECT_EQ(file.HardMarks()[10], 1);
    EXPECT_EQ(file.SoftMarks()[10], 1);

    Recorder events;
    file.SetObserver(&events);
    buffer.Image().SetBit(18, 14, true); // buffer's selected input is B
    buffer.StoredCalibration(1).count = 3;
    buffer.WorkingCalibration(1).a = 2.5;
    file.CopyCalibrationFrom(buffer, true); // into file's input A
    EXPECT_EQ(file.StoredCalibration(0).count, 3);
    EXPECT_EQ(file.WorkingCalibration(0).a, 2.5);
    EXPECT_EQ(events.calibration, 1);

    buffer.Image().Set(127, 0xBEEF);
    buffer.Image().Bank0()[200] = 9;
    file.CopyRegistersFrom(buffer);
    EXPECT_EQ(file.Image().Get(127), 0xBEEF);
    EXPECT_EQ(file.Image().Bank0()[200], 0); // only words 0..127
}

} // namespace
} // namespace orvane
