#include "analysis/StabilizerWindows.h"
#include "analysis/AnalysisFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

using test::ScriptedHost;
using Edge = StabilizerWindows::Edge;

constexpr const char* kSizes = "Please, set the spectrum soft size equal to the spectrum hard size!";
constexpr const char* kBoundary =
    "Please, select an ROI of a distinctive peak and far from the spectrum boundaries!";

struct Dialog {
    Dialog() {
        StabilizerWindows::Link link;
        link.connected = [this] { return connected; };
        link.responding = [this] { return responding; };
        link.loggerRunning = [this] { return loggerRunning; };
        link.writeParameters = [this] {
            ++writes;
            buffer->Image().SetSettled(true); // sending the write settles the image
        };
        windows = std::make_unique<StabilizerWindows>(host, link);
    }

    std::array<std::string, 4> Fields() const {
        return {windows->Field(StabilizerWindows::kOuterLeft), windows->Field(StabilizerWindows::kInnerLeft),
                windows->Field(StabilizerWindows::kInnerRight),
                windows->Field(StabilizerWindows::kOuterRight)};
    }
    void SetFields(std::array<std::string, 4> texts) {
        for (int e = 0; e < 4; ++e)
            windows->SetField(static_cast<Edge>(e), texts[static_cast<std::size_t>(e)]);
    }

    ScriptedHost host;
    std::unique_ptr<CSpectrum> buffer = test::MakeSpectrum(16384, 16384, {}, {});
    bool connected = true, responding = true, loggerRunning = false;
    int writes = 0;
    std::unique_ptr<StabilizerWindows> windows;
};

// A record marked throughout, the cursor in the middle, whose last analysis found this centroid and FWHM.
std::unique_ptr<CSpectrum> Analysed(double centroid, double fwhm, int hard = 16384, int soft = 16384) {
    auto s = test::MakeSpectrum(hard, soft, {}, {{0, soft - 1}});
    s->SetCursor(soft / 2);
    PeakFigures& f = s->Peak();
    f.result = PeakResult::Peak;
    f.inRoi = f.halfFound = true;
    f.left = 0;
    f.right = soft - 1;
    f.centroid = centroid;
    f.fwhm = fwhm;
    return s;
}

TEST(StabilizerWindows, Recommendations) {
    struct Case {
        double centroid, fwhm;
        bool proposed;
        std::array<const char*, 4> fields; // outer left, inner left, inner right, outer right
    } cases[] = {
        {662.9, 10.6, true, {"658", "660", "664", "666"}},
        {662.9, 3.9, true, {"660", "661", "663", "664"}}, // q below 1 becomes 1
        {3.0, 8.0, false, {"1", "2", "3", "4"}},          // p - 2q = -1
        {16381.0, 8.0, false, {"1", "2", "3", "4"}},      // p + q = 16383 fits, p + 2q = 16385 does not
        {16379.0, 8.0, true, {"16375", "16377", "16381", "16383"}},
        {500.0, -6.0, true, {"498", "499", "501", "502"}}, // a width that is not positive counts as q = 1
        {500.0, std::nan(""), true, {"498", "499", "501", "502"}},
        {500.0, 1e9, false, {"1", "2", "3", "4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centroid << " " << c.fwhm);
        Dialog d;
        d.SetFields({"1", "2", "3", "4"});
        auto active = Analysed(c.centroid, c.fwhm);
        EXPECT_EQ(d.windows->RecommendWindows(*active), c.proposed);
        EXPECT_EQ(d.host.Texts(),
                  c.proposed ? std::vector<std::string>{} : std::vector<std::string>{kBoundary});
        if (!c.proposed) {
            EXPECT_EQ(d.host.boxes[0].caption, "");
        }
        for (int e = 0; e < 4; ++e)
            EXPECT_EQ(d.Fields()[static_cast<std::size_t>(e)], c.fields[static_cast<std::size_t>(e)]);
    }
}

TEST(StabilizerWindows, RecommendRefusals) {
    Dialog d;
    auto folded = Analysed(662.9, 10.6, 16384, 4096);
    EXPECT_FALSE(d.windows->RecommendWindows(*folded));
    auto outside = Analysed(662.9, 10.6);
    outside->HardMarks()[static_cast<std::size_t>(outside->Cursor())] = 0;
    outside->RebuildSoftMarks();
    EXPECT_FALSE(d.windows->RecommendWindows(*outside));
    EXPECT_EQ(d.host.Texts(),
              (std::vector<std::string>{
                  kSizes, "Please, place the cursor within the ROI of the stabilization peak!"}));
}

TEST(StabilizerWindows, RecommendAnalysesTheCursorsRoiWhenTheLastAnalysisWasElsewhere) {
    // A triangle at 660 (FWHM 5, so q = 1) on a flat background; the stored figures are of another ROI.
    std::vector<std::pair<int, std::uint32_t>> counts;
    for (int k = 640; k <= 680; ++k)
        counts.emplace_back(k, 10 + (std::abs(k - 660) < 5 ? 40 - 8 * std::abs(k - 660) : 0));
    Dialog d;
    auto s = test::MakeSpectrum(16384, 16384, counts, {{650, 670}, {100, 110}});
    s->SetCursor(660);
    s->Peak().inRoi = true;
    s->Peak().left = 100;
    s->Peak().right = 110;
    EXPECT_TRUE(d.windows->RecommendWindows(*s));
    EXPECT_EQ(d.Fields(), (std::array<std::string, 4>{"658", "659", "661", "662"}));
    // A flat ROI has no peak to centre on.
    auto flat = test::MakeSpectrum(16384, 16384, {}, {{650, 670}});
    flat->SetCursor(660);
    EXPECT_FALSE(d.windows->RecommendWindows(*flat));
    EXPECT_EQ(d.host.Texts(), std::vector<std::string>{kBoundary});
}

TEST(StabilizerWindows, OpenLoadsTheWindowsWithoutTheEnableBit) {
    Dialog d;
    d.buffer->Image().Set(64, 0x8000 | 658);
    d.buffer->Image().Set(65, 660);
    d.buffer->Image().Set(66, 664);
    d.buffer->Image().Set(67, 666);
    EXPECT_TRUE(d.windows->Open(*d.buffer, *d.buffer));
    EXPECT_EQ(d.Fields(), (std::array<std::string, 4>{"658", "660", "664", "666"}));

    auto folded = test::MakeSpectrum(16384, 4096, {}, {});
    EXPECT_FALSE(d.windows->Open(*folded, *d.buffer));
    d.connected = false;
    EXPECT_FALSE(d.windows->Open(*d.buffer, *d.buffer));
    EXPECT_EQ(d.host.Texts(), (std::vector<std::string>{kSizes, "Please, connect a device!"}));
}

TEST(StabilizerWindows, ApplyWritesTheWholeWordsAndSwitchesTheStabilizerOff) {
    struct Case {
        bool responding, loggerRunning;
        int writes;
        std::uint16_t word64;
        bool settled;
    } cases[] = {
        {true, false, 1, 658, true},           // written; the write settles the image
        {true, true, 0, 658, false},           // the logger's writes carry it; read-backs must not undo it
        {false, false, 0, 0x8000 | 100, true}, // nothing stored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.responding << c.loggerRunning);
        Dialog d;
        d.responding = c.responding;
        d.loggerRunning = c.loggerRunning;
        d.buffer->Image().Set(64, 0x8000 | 100); // stabilizer enabled
        d.SetFields({"658", "660", " 664 ", "666"});
        EXPECT_TRUE(d.windows->ApplyWindows(*d.buffer));
        EXPECT_EQ(d.writes, c.writes);
        EXPECT_EQ(d.buffer->Image().Get(64), c.word64);
        EXPECT_EQ(d.buffer->Image().Get(66), c.responding ? 664 : 0);
        EXPECT_EQ(d.buffer->Image().Settled(), c.settled);
        EXPECT_TRUE(d.host.boxes.empty());
    }
}

TEST(StabilizerWindows, ApplyRefusesAFieldThatIsNotAChannel) {
    for (const char* bad : {"16384", "-1", "", "12a", "99999999999999999999", "0x10"}) {
        SCOPED_TRACE(bad);
        Dialog d;
        d.buffer->Image().Set(64, 0x8000 | 100);
        d.SetFields({"658", "660", bad, "666"});
        EXPECT_FALSE(d.windows->ApplyWindows(*d.buffer));
        EXPECT_EQ(d.host.Texts(),
                  std::vector<std::string>{"Please, enter a channel from 0 to 16383 for each window edge!"});
        EXPECT_EQ(d.buffer->Image().Get(64), 0x8000 | 100);
        EXPECT_EQ(d.writes, 0);
        EXPECT_TRUE(d.buffer->Image().Settled());
    }
    Dialog d;
    d.SetFields({"0", "16383", "16383", "16383"});
    EXPECT_TRUE(d.windows->ApplyWindows(*d.buffer));
    EXPECT_EQ(d.buffer->Image().Get(67), 16383);
}

} // namespace
} // namespace orvane
