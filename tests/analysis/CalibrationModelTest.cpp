#include "analysis/CalibrationModel.h"
#include "analysis/AnalysisFixtures.h"
#include "analysis/CalibrationFit.h"
#include "analysis/DisplayCalibration.h"
#include "analysis/SpectrumInfoModel.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

using test::ScriptedHost;

struct Panel {
    explicit Panel(int hard = 16384, int soft = 16384) : spectrum(test::MakeSpectrum(hard, soft, {}, {})) {
        model.SetActive(spectrum.get());
        model.requestFullRedraw = [this] { ++redraws; };
    }

    void Add(const std::string& channel, const std::string& energy, bool check = true) {
        model.SetChannelText(channel);
        model.SetEnergyText(energy);
        model.OnAddPoint();
        if (!check)
            return;
        Check(channel);
        model.OnListFocusLost();
    }

    // Checks the row that shows this channel.
    void Check(const std::string& channel) {
        char text[32];
        std::snprintf(text, sizeof text, "%8.2f", std::atof(channel.c_str()));
        for (std::size_t i = 0; i < model.Rows().size(); ++i)
            if (model.Rows()[i].channel == text)
                model.SetRowChecked(i, true);
    }

    std::vector<std::string> Channels() const {
        std::vector<std::string> texts;
        for (const auto& r : model.Rows())
            texts.push_back(r.channel);
        return texts;
    }

    CalibrationSet& Stored() { return spectrum->StoredCalibration(spectrum->SelectedInput()); }
    CalibrationSet& Working() { return spectrum->WorkingCalibration(spectrum->SelectedInput()); }

    ScriptedHost host;
    std::unique_ptr<CSpectrum> spectrum;
    CalibrationModel model{host};
    int redraws = 0;
};

TEST(CalibrationModel, StartsUncalibrated) {
    ScriptedHost host;
    CalibrationModel model(host);
    EXPECT_EQ(model.Caption(), "Not Calibrated");
    EXPECT_EQ(model.AText(), "a = ?");
    EXPECT_EQ(model.BText(), "b = ?");
    EXPECT_EQ(model.CText(), "c = ?");
    EXPECT_EQ(model.SelectedUnit(), 0);
}

TEST(CalibrationModel, RowsAndBothSetsFollowChannelOrder) {
    Panel p(16384, 4096); // binning factor 4
    p.Add("900", "1173.228");
    p.Add("100", "59.5409");
    p.Add("500.126", "661.657");
    EXPECT_EQ(p.Channels(), (std::vector<std::string>{"  100.00", "  500.13", "  900.00"}));
    EXPECT_EQ(p.model.Rows()[1].energy, "661.6570");
    EXPECT_EQ(p.model.ChannelText(), "");
    EXPECT_EQ(p.model.EnergyText(), "");
    EXPECT_EQ(p.Working().count, 3);
    EXPECT_EQ(p.Stored().count, 3);
    const double working[] = {100.0, 500.13, 900.0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(p.Working().channel[i], working[i]);
        EXPECT_DOUBLE_EQ(p.Stored().channel[i], working[i] * 4);
        EXPECT_EQ(p.Working().use[i], 1);
    }
    EXPECT_DOUBLE_EQ(p.Stored().energy[0], 59.5409);
}

TEST(CalibrationModel, AddPointLimitAndBadInput) {
    Panel p(16384, 1024);
    for (int i = 0; i < 10; ++i)
        p.Add(std::to_string(10 * (i + 1)), std::to_string(i), false);
    p.Add("500", "5", false);
    EXPECT_EQ(p.model.Rows().size(), 10u);
    ASSERT_EQ(p.host.boxes.size(), 1u);
    EXPECT_EQ(p.host.boxes[0].text, "Maximum number of 10 points has been reached");
    EXPECT_EQ(p.host.boxes[0].caption, "");

    p.model.OnRemoveAll();
    EXPECT_TRUE(p.model.Rows().empty());
    EXPECT_EQ(p.Stored().count, 0);
    struct Bad {
        const char *channel, *energy, *message;
    } cases[] = {
        {"abc", "1", "Please, enter a CHANNEL from 0 to 1023!"},
        {"", "1", "Please, enter a CHANNEL from 0 to 1023!"},
        {"1024", "1", "Please, enter a CHANNEL from 0 to 1023!"},
        {"-1", "1", "Please, enter a CHANNEL from 0 to 1023!"},
        {"12x", "1", "Please, enter a CHANNEL from 0 to 1023!"},
        {"12", "keV", "Please, enter a number for the ENERGY!"},
        {"12", "nan", "Please, enter a number for the ENERGY!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channel);
        p.host.boxes.clear();
        p.Add(c.channel, c.energy, false);
        EXPECT_TRUE(p.model.Rows().empty());
        EXPECT_EQ(p.host.Texts(), std::vector<std::string>{c.message});
        // The fields keep what the user typed, to be corrected.
        EXPECT_EQ(p.model.ChannelText(), c.channel);
    }
}

TEST(CalibrationModel, CalibrateCases) {
    struct Point {
        const char *channel, *energy;
        bool checked;
    };
    struct Case {
        const char* name;
        std::vector<Point> points;
        int useAll;
        bool fitted;
        double a, b, c;
        const char* caption;
        const char* message;
    } cases[] = {
        {"OnePointSelected",
         {{"100", "10", true}, {"200", "20", false}},
         0,
         false,
         0,
         1,
         0,
         "CALIBRATION",
         "Calibration requires at least two points"},
        {"NoPoints", {}, 1, false, 0, 1, 0, "CALIBRATION", "Calibration requires at least two points"},
        {"TwoPointsLine",
         {{"100", "59.5", true}, {"200", "661.7", false}, {"300", "150", true}},
         0,
         true,
         0,
         (150 - 59.5) / 200.0,
         59.5 - (150 - 59.5) / 200.0 * 100,
         "CALIBRATION w/ SELECTED",
         nullptr},
        // Equal channels: b = 1, c = y0 - x0.
        {"TwoPointsOnOneChannel",
         {{"100", "50", true}, {"100", "70", true}},
         1,
         true,
         0,
         1,
         -50,
         "CALIBRATION w/ ALL",
         nullptr},
        // E = 0.001·CH² + 0.5·CH + 3 exactly.
        {"ExactQuadratic",
         {{"100", "63", false}, {"500", "503", false}, {"900", "1263", false}, {"1500", "3003", false}},
         1,
         true,
         0.001,
         0.5,
         3,
         "CALIBRATION w/ ALL",
         nullptr},
        // Three points on two channels leave the quadratic open: the coefficients stay.
        {"ThreePointsOnTwoChannels",
         {{"100", "10", true}, {"100", "11", true}, {"200", "20", true}},
         0,
         false,
         0,
         1,
         0,
         "CALIBRATION",
         "Please, use points on at least three different channels for a calibration with three or more "
         "points!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Panel p;
        for (const auto& pt : c.points)
            p.Add(pt.channel, pt.energy, false);
        for (const auto& pt : c.points)
            if (pt.checked)
                p.Check(pt.channel);
        p.redraws = 0;
        if (c.useAll)
            p.model.OnCalibrateAll();
        else
            p.model.OnCalibrateSelected();
        EXPECT_EQ(p.host.Texts(),
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_NEAR(p.Working().a, c.a, 1e-12);
        EXPECT_NEAR(p.Working().b, c.b, 1e-9);
        EXPECT_NEAR(p.Working().c, c.c, 1e-6);
        EXPECT_EQ(p.model.Caption(), c.caption);
        EXPECT_EQ(p.Working().useAll, c.useAll);
        EXPECT_EQ(p.Stored().useAll, c.useAll);
        // The stored coefficients and the enabled flag are never touched by a fit.
        EXPECT_EQ(p.Stored().b, 1.0);
        EXPECT_EQ(p.Working().enabled, 0);
        EXPECT_FALSE(DisplayCalibration::Of(*p.spectrum).calibrated);
        EXPECT_EQ(p.redraws, 1);
        EXPECT_TRUE(p.spectrum->NeedsRefresh());
    }
}

TEST(CalibrationModel, CoefficientTexts) {
    Panel p;
    p.Add("100", "63");
    p.Add("500", "503");
    p.Add("900", "1263");
    p.model.OnCalibrateSelected();
    EXPECT_EQ(p.model.AText(), "a =   0.0010");
    EXPECT_EQ(p.model.BText(), "b =   0.5000");
    EXPECT_EQ(p.model.CText(), "c =   3.0000");
}

TEST(CalibrationFit, NotFiniteOrSingularKeepsThePreviousCoefficients) {
    CalibrationCoefficients kept{1, 2, 3};
    const std::vector<std::vector<CalibrationPoint>> bad = {
        {{1.0, 1.0}},
        {{5.0, 1.0}, {5.0, 2.0}, {5.0, 3.0}},
        // Two channels whose sums do not cancel exactly: rounding leaves a tiny pivot, not a zero one.
        {{1234.56, 1.0}, {1234.56, 2.0}, {4321.98, 3.0}},
        {{16383.7, 1.0}, {16383.7, 2.0}, {3.3, 3.0}},
        {{1.0, 1.0}, {2.0, 1e308}, {3.0, -1e308}},
        {{1.0, 1.0}, {std::nan(""), 2.0}, {3.0, 3.0}},
    };
    for (const auto& points : bad) {
        CalibrationCoefficients out = kept;
        EXPECT_FALSE(FitCalibration(points, out));
        EXPECT_EQ(out.a, 1);
        EXPECT_EQ(out.b, 2);
        EXPECT_EQ(out.c, 3);
    }
    // Close but distinct channels near the top of the spectrum still fit.
    CalibrationCoefficients out;
    EXPECT_TRUE(FitCalibration({{100, 1.0}, {101, 2.5}, {102, 5.0}}, out));
    EXPECT_NEAR(out.a, 0.5, 1e-6);
}

TEST(CalibrationModel, BinningFactorChangeKeepsHardChannels) {
    Panel p(16384, 4096);
    p.Add("1000", "662");
    p.Add("2000", "1332");
    p.model.OnCalibrateAll();
    EXPECT_NEAR(p.Working().b, 0.67, 1e-12);
    EXPECT_NEAR(p.Working().c, -8.0, 1e-9);
    EXPECT_DOUBLE_EQ(p.Stored().channel[0], 4000.0);
    EXPECT_DOUBLE_EQ(p.Stored().channel[1], 8000.0);

    p.spectrum->SetSizes(16384, 1024);
    p.model.ReloadCalibration();
    EXPECT_EQ(p.Channels(), (std::vector<std::string>{"  250.00", "  500.00"}));
    EXPECT_DOUBLE_EQ(p.Stored().channel[0], 4000.0);
    EXPECT_DOUBLE_EQ(p.Working().channel[1], 500.0);
    EXPECT_NEAR(p.Working().b, 2.68, 1e-12);
    EXPECT_NEAR(p.Working().c, -8.0, 1e-9);
    EXPECT_EQ(p.model.Caption(), "CALIBRATION w/ ALL");
    // The same energy at the same hard channel.
    EXPECT_NEAR(p.Working().Energy(250.0), 662.0, 1e-9);
}

TEST(CalibrationModel, ReloadSortsAFilesPointsAndRefits) {
    Panel p(16384, 8192); // factor 2
    CalibrationSet& stored = p.Stored();
    const double channels[] = {1800, 200, 1000};
    const double energies[] = {1173.2, 59.5, 661.7};
    for (int i = 0; i < 3; ++i) {
        stored.channel[i] = channels[i];
        stored.energy[i] = energies[i];
        stored.use[i] = 0;
    }
    stored.count = 3;
    stored.useAll = 1; // as a load leaves it
    stored.units = 7;  // beyond the unit list
    stored.enabled = 1;
    p.redraws = 0;
    p.model.ReloadCalibration();
    EXPECT_EQ(p.Channels(), (std::vector<std::string>{"  100.00", "  500.00", "  900.00"}));
    EXPECT_FALSE(p.model.Rows()[0].checked);
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(p.Stored().channel[i], (i * 400 + 100) * 2.0);
        EXPECT_DOUBLE_EQ(p.Working().channel[i], i * 400 + 100.0);
    }
    EXPECT_DOUBLE_EQ(p.Working().energy[0], 59.5);
    EXPECT_EQ(p.model.Caption(), "CALIBRATION w/ ALL");
    EXPECT_EQ(p.model.SelectedUnit(), 0);
    EXPECT_EQ(p.Stored().units, 0);
    EXPECT_TRUE(p.model.EnableChecked());
    EXPECT_EQ(p.Working().enabled, 1);
    EXPECT_EQ(p.redraws, 1);
    EXPECT_TRUE(p.host.boxes.empty());

    // A stored count beyond ten (a damaged settings value) is limited; one used point is no fit.
    p.Stored().count = 40;
    p.Stored().useAll = 0;
    p.Stored().use.fill(0);
    p.Stored().use[0] = 1;
    p.model.ReloadCalibration();
    EXPECT_EQ(p.model.Rows().size(), 10u);
    EXPECT_EQ(p.model.Caption(), "CALIBRATION w/ SELECTED");
    p.Stored().count = 1;
    p.model.ReloadCalibration();
    EXPECT_EQ(p.model.Caption(), "CALIBRATION");
    EXPECT_TRUE(p.host.boxes.empty());
}

TEST(CalibrationModel, ControlActions) {
    Panel p;
    p.spectrum->SetCursor(1234);
    p.model.OnCursor();
    EXPECT_EQ(p.model.ChannelText(), "1234");

    // PEAK takes the last centroid; without one it says what to do.
    p.model.OnPeak();
    EXPECT_EQ(p.host.Texts(), std::vector<std::string>{"Please, place the cursor within the ROI of a peak!"});
    EXPECT_EQ(p.model.ChannelText(), "1234");
    p.spectrum->Peak().result = PeakResult::Peak;
    p.spectrum->Peak().halfFound = true;
    p.spectrum->Peak().centroid = 661.666;
    p.model.OnPeak();
    EXPECT_EQ(p.model.ChannelText(), "  661.67");

    p.model.OnUnitSelected(3);
    EXPECT_EQ(p.Stored().units, 3);
    EXPECT_EQ(p.Working().units, 3);
    p.model.OnEnableCalibration(true);
    EXPECT_TRUE(p.model.EnableChecked());
    EXPECT_EQ(p.Stored().enabled, 1);
    EXPECT_EQ(p.Working().enabled, 1);
    EXPECT_EQ(DisplayCalibration::Of(*p.spectrum).units, "MeV");
    EXPECT_EQ(p.redraws, 2);

    p.Add("300", "3", false);
    p.Add("100", "1", false);
    p.Add("200", "2", false);
    p.model.SetRowChecked(0, true);
    p.model.SetRowChecked(2, true);
    p.model.OnEditSelected();
    EXPECT_EQ(p.model.ChannelText(), "  100.00");
    EXPECT_EQ(p.model.EnergyText(), "  1.0000");
    EXPECT_EQ(p.Channels(), (std::vector<std::string>{"  200.00", "  300.00"}));
    EXPECT_EQ(p.Working().count, 2);
    p.model.OnRemoveSelected();
    EXPECT_EQ(p.Channels(), std::vector<std::string>{"  200.00"});
    EXPECT_DOUBLE_EQ(p.Stored().channel[0], 200.0);
    EXPECT_EQ(p.Stored().channel[1], 0.0);

    // A check box takes effect in the sets when the list loses the focus, or when a save takes it over.
    p.model.SetRowChecked(0, true);
    EXPECT_EQ(p.Working().use[0], 0);
    p.model.ApplyCheckMarks();
    EXPECT_EQ(p.Working().use[0], 1);
    EXPECT_EQ(p.Stored().use[0], 1);
}

TEST(CalibrationModel, EnablingReachesTheInformationPane) {
    Panel p;
    p.Add("1000", "500");
    p.Add("3000", "1500");
    p.model.OnCalibrateAll();
    p.model.OnUnitSelected(2);
    p.spectrum->SetCursor(2000);
    SpectrumInfoModel info;
    info.UpdateInfo(*p.spectrum);
    EXPECT_FALSE(info.Get().cal);
    EXPECT_EQ(info.Get().unitLabel, "chn");
    EXPECT_EQ(info.Get().position, "    2000");

    p.model.OnEnableCalibration(true);
    info.UpdateInfo(*p.spectrum);
    EXPECT_TRUE(info.Get().cal);
    EXPECT_EQ(info.Get().unitLabel, "keV");
    EXPECT_EQ(info.Get().position, " 1000.00");

    // The pane's "CAL" box runs the same handler.
    p.model.OnEnableCalibration(false);
    info.UpdateInfo(*p.spectrum);
    EXPECT_FALSE(info.Get().cal);
    EXPECT_EQ(info.Get().position, "    2000");
}

TEST(CalibrationModel, NothingHappensWhileThePlotIsHidden) {
    Panel p;
    p.Add("100", "1");
    p.Add("200", "2");
    p.spectrum->SetShown(false);
    const CalibrationSet before = p.Working();
    p.redraws = 0;
    p.Add("300", "3");
    p.model.OnRemoveAll();
    p.model.OnCalibrateAll();
    p.model.OnEnableCalibration(true);
    p.model.OnUnitSelected(2);
    EXPECT_EQ(p.model.Rows().size(), 2u);
    EXPECT_EQ(p.Working(), before);
    EXPECT_EQ(p.redraws, 0);
    // CURSOR is not a calibration change and still works.
    p.model.OnCursor();
    EXPECT_EQ(p.model.ChannelText(), "8192");
}

} // namespace
} // namespace orvane
