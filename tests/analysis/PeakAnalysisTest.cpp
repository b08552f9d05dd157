#include "analysis/PeakAnalysis.h"
#include "analysis/AnalysisFixtures.h"
#include "analysis/SpectrumInfoModel.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using Counts = std::vector<std::pair<int, std::uint32_t>>;
constexpr const char* D = SpectrumInfoModel::kDashes;

Counts Flat(int first, int last, std::uint32_t level) {
    Counts c;
    for (int k = first; k <= last; ++k)
        c.emplace_back(k, level);
    return c;
}

// A triangle of height `height` falling by `step` per channel, added to whatever `base` holds there.
Counts Triangle(Counts base, int apex, std::uint32_t height, std::uint32_t step) {
    for (int k = -static_cast<int>(height / step); k <= static_cast<int>(height / step); ++k) {
        const auto add = height - step * static_cast<std::uint32_t>(std::abs(k));
        bool found = false;
        for (auto& [channel, count] : base)
            if (channel == apex + k) {
                count += add;
                found = true;
            }
        if (!found)
            base.emplace_back(apex + k, add);
    }
    return base;
}

Counts Ramp(int first, int last, std::uint32_t step) {
    Counts c;
    for (int k = first; k <= last; ++k)
        c.emplace_back(k, step * static_cast<std::uint32_t>(k - first));
    return c;
}

// Flat 100 on 49..61 with a hole 52..58 and a spike of 150 in its middle: the peak sits below the
// background line.
Counts Hole() {
    Counts c = Flat(49, 61, 100);
    for (auto& [channel, count] : c)
        if (channel >= 52 && channel <= 58)
            count = channel == 55 ? 150 : 0;
    return c;
}

struct Case {
    const char* name;
    Counts counts;
    int roiFirst, roiLast, cursor;
    PeakResult result;
    const char* roiText;
    // CENTROID, FWHM, FWTM, RESOLUTION %, INTEGRAL, AREA
    std::array<const char*, 6> shown;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class PeakCases : public ::testing::TestWithParam<Case> {};

TEST_P(PeakCases, ResultAndPeakBlock) {
    const Case& c = GetParam();
    auto s = test::MakeSpectrum(16384, 16384, c.counts, {{c.roiFirst, c.roiLast}});
    s->SetCursor(c.cursor);
    SpectrumInfoModel info;
    info.UpdateInfo(*s);
    EXPECT_EQ(s->Peak().result, c.result);
    const auto& f = info.Get();
    EXPECT_EQ(f.roiStatus, c.roiText);
    const std::array<std::string, 6> shown = {f.centroid, f.fwhm, f.fwtm, f.resolution, f.integral, f.area};
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], c.shown[i]) << "field " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Analysis, PeakCases,
    ::testing::Values(
        Case{"OutsideAnyRoi",
             Triangle(Flat(80, 120, 10), 100, 40, 8),
             90,
             110,
             50,
             PeakResult::None,
             " ",
             {D, D, D, D, D, D}},
        Case{"TwoChannelRoi",
             Triangle(Flat(80, 120, 10), 100, 40, 8),
             100,
             101,
             100,
             PeakResult::None,
             "ROI:    100 to 101     W: 2     ",
             {D, D, D, D, D, D}},
        Case{"FlatRoi",
             Flat(80, 120, 10),
             90,
             110,
             100,
             PeakResult::IntegralOnly,
             "ROI:     90 to 110     W: 21    ",
             {D, D, D, D, "  210", D}},
        // S[0] stands in for the missing S[-1]: BL = 6, so the net area is -6 and shows 0 (with a 0 in
        // its place it would be +1.5). No left crossing inside the ROI: no centroid, no widths.
        Case{"RoiAtChannelZero",
             {{0, 9}},
             0,
             4,
             2,
             PeakResult::Peak,
             "ROI:      0 to 4       W: 5     ",
             {D, D, D, D, "    9", "    0"}},
        Case{"SymmetricTriangle",
             Triangle(Flat(80, 120, 10), 100, 40, 8),
             90,
             110,
             95,
             PeakResult::Peak,
             "ROI:     90 to 110     W: 21    ",
             {"  100.00", "    5.00", "    9.00", "    5.00", "  410", "  200"}},
        // Two equal maxima at 95 and 105: the widths are measured around the later one.
        Case{"TiesGoToTheLaterChannel",
             Triangle(Triangle({}, 95, 40, 10), 105, 40, 10),
             88,
             112,
             100,
             PeakResult::Peak,
             "ROI:     88 to 112     W: 25    ",
             {"  105.00", "    4.00", "    7.20", "    3.81", "  320", "  320"}},
        Case{"NegativeAreaShowsZero",
             Hole(),
             50,
             60,
             55,
             PeakResult::Peak,
             "ROI:     50 to 60      W: 11    ",
             {"   55.00", "    0.33", "    0.60", "    0.61", "  550", "    0"}},
        // The maximum sits at R: no right crossing, so no centroid and no widths.
        Case{"PeakAtTheRoiEnd",
             Ramp(10, 20, 10),
             10,
             20,
             15,
             PeakResult::Peak,
             "ROI:     10 to 20      W: 11    ",
             {D, D, D, D, "  550", "  183"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeakAnalysis, TriangleFigures) {
    auto s = test::MakeSpectrum(16384, 16384, Triangle(Flat(80, 120, 10), 100, 40, 8), {{90, 110}});
    s->SetCursor(100);
    ASSERT_EQ(AnalysePeak(*s), PeakResult::Peak);
    const PeakFigures& f = s->Peak();
    EXPECT_EQ(f.left, 90);
    EXPECT_EQ(f.right, 110);
    EXPECT_DOUBLE_EQ(f.centroid, 100.0);
    EXPECT_DOUBLE_EQ(f.rightHalf, 102.5);
    EXPECT_DOUBLE_EQ(f.leftHalf, 97.5);
    EXPECT_DOUBLE_EQ(f.fwhm, 5.0);
    EXPECT_DOUBLE_EQ(f.rightTenth, 104.5);
    EXPECT_DOUBLE_EQ(f.leftTenth, 95.5);
    EXPECT_DOUBLE_EQ(f.fwtm, 9.0);
    EXPECT_DOUBLE_EQ(f.integral, 410.0);
    EXPECT_DOUBLE_EQ(f.area, 200.0);
    EXPECT_TRUE(f.HasCentroid());
}

TEST(PeakAnalysis, RoiAtTheSpectrumEdgesStaysInside) {
    // Marks reaching both ends: the walk stops at channel 0 and at N - 1, the end means use the end channel.
    auto s = test::MakeSpectrum(16384, 1024, {{0, 9}, {1023, 9}}, {{0, 1023}});
    s->SetCursor(512);
    EXPECT_EQ(AnalysePeak(*s), PeakResult::Peak);
    EXPECT_EQ(s->Peak().left, 0);
    EXPECT_EQ(s->Peak().right, 1023);
    EXPECT_DOUBLE_EQ(s->Peak().integral, 18.0);
}

TEST(SpectrumInfoModel, CalibratedFiguresUseTheWorkingCalibration) {
    struct Calibration {
        double a, b, c;
        int units;
        const char *position, *centroid, *fwhm, *fwtm, *resolution, *label;
    } cases[] = {
        // Widths are E(x2) - E(x1): (102.5² - 97.5²)·0.001 + 5 = 6.
        {0.001, 1.0, 0.0, 2, "  110.00", "  110.00", "    6.00", "   10.80", "    5.45", "keV"},
        // E(centroid) <= 0 gives a resolution of 0.
        {0.0, 1.0, -1000.0, 1, " -900.00", " -900.00", "    5.00", "    9.00", "    0.00", " eV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto s = test::MakeSpectrum(16384, 16384, Triangle(Flat(80, 120, 10), 100, 40, 8), {{90, 110}});
        CalibrationSet& w = s->WorkingCalibration(s->SelectedInput());
        w.a = c.a;
        w.b = c.b;
        w.c = c.c;
        w.units = c.units;
        w.enabled = 1;
        s->SetCursor(100);
        SpectrumInfoModel info;
        info.UpdateInfo(*s);
        const auto& f = info.Get();
        EXPECT_EQ(f.unitLabel, c.label);
        EXPECT_TRUE(f.cal);
        EXPECT_EQ(f.position, c.position);
        EXPECT_EQ(f.centroid, c.centroid);
        EXPECT_EQ(f.fwhm, c.fwhm);
        EXPECT_EQ(f.fwtm, c.fwtm);
        EXPECT_EQ(f.resolution, c.resolution);
    }
}

TEST(SpectrumInfoModel, CursorBlockAndRewriteRules) {
    auto s = test::MakeSpectrum(16384, 16384, Triangle(Flat(80, 120, 10), 100, 40, 8), {{90, 110}});
    // Disabled coefficients are not used: the display stays in channels.
    s->WorkingCalibration(0).b = 3.0;
    s->SetCursor(100);
    SpectrumInfoModel info;
    info.UpdateInfo(*s);
    const auto& f = info.Get();
    EXPECT_FALSE(s->NeedsRefresh());
    EXPECT_EQ(f.unitLabel, "chn");
    EXPECT_FALSE(f.cal);
    EXPECT_EQ(f.position, "     100");
    EXPECT_EQ(f.counts, "        50");
    EXPECT_EQ(f.cursorStatus, "CURSOR: 100     COUNTS: 50        ");
    EXPECT_EQ(f.fwhm, "    5.00");

    // Out of the ROI and back: the dashes make the pane forget what it showed, so the figures return.
    s->SetCursor(10);
    info.UpdateInfo(*s);
    EXPECT_EQ(f.fwhm, D);
    EXPECT_EQ(f.roiStatus, " ");
    EXPECT_EQ(f.cursorStatus, "CURSOR: 10      COUNTS: 0         ");
    s->SetCursor(100);
    info.UpdateInfo(*s);
    EXPECT_EQ(f.fwhm, "    5.00");

    // New counts in the ROI change the integral and so rewrite the block.
    s->HardCounts()[100] += 10;
    s->Fold();
    info.UpdateInfo(*s);
    EXPECT_EQ(f.integral, "  420");
    EXPECT_EQ(f.counts, "        60");
}

TEST(SpectrumInfoModel, TimesAndRates) {
    struct Case {
        std::uint16_t clock15, real56, live58, fraction60, counts44, counts45, windows46, windows47;
        const char *real, *live, *dead;
        const char *throughput, *incoming;
        int losses;
    } cases[] = {
        // 12.5 ns: P = 1024 / (100 · 0.0125 · 0.002048) = 400000, Q = 800000.
        {0x0E00, 1000, 900, 0, 1024, 2048, 100, 100, "     10.00", "      9.00", "10.0", "400000", "800000",
         50},
        // The fraction word counts 16-sample units: 50000 · 16 · 0.0125 µs = 0.01 s.
        {0x0E00, 1000, 1000, 50000, 1024, 512, 100, 100, "     10.01", "     10.00", "0.1", "400000",
         "400000", 0},
        // No measuring windows: no rates; live above real never gives a negative dead time.
        {0x0E00, 0, 0, 0, 1024, 2048, 0, 0, "      0.00", "      0.00", "0.0", "0", "0", 0},
        {0x0E00, 100, 200, 0, 0, 0, 1, 1, "      1.00", "      2.00", "0.0", "0", "0", 0},
        // Under 6 cps the losses bar stays at 0.
        {0x0E00, 0, 0, 0, 0, 1, 10000, 10000, "      0.00", "      0.00", "0.0", "0", "3", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.real);
        RegisterImage image;
        image.ResetToCreation();
        image.Set(15, c.clock15);
        image.Set(56, c.real56);
        image.Set(58, c.live58);
        image.Set(60, c.fraction60);
        image.Set(44, c.counts44);
        image.Set(45, c.counts45);
        image.Set(46, c.windows46);
        image.Set(47, c.windows47);
        SpectrumInfoModel info;
        EXPECT_EQ(info.Get().real, "0.00");
        info.UpdateTimesAndRates(image);
        const auto& f = info.Get();
        EXPECT_EQ(f.real, c.real);
        EXPECT_EQ(f.live, c.live);
        EXPECT_EQ(f.dead, c.dead);
        EXPECT_EQ(f.throughput, c.throughput);
        EXPECT_EQ(f.incoming, c.incoming);
        EXPECT_EQ(f.losses, c.losses);
    }
    // The largest rate does not wrap: 65535 counts in one window at 6.25 ns is above 5·10⁹ cps.
    RegisterImage fast;
    fast.ResetToCreation();
    fast.Set(15, 0x0E0C);
    fast.Set(44, 65535);
    fast.Set(46, 1);
    SpectrumInfoModel info;
    info.UpdateTimesAndRates(fast);
    EXPECT_GT(std::stoll(info.Get().throughput), 5'000'000'000LL);
}

} // namespace
} // namespace orvane
