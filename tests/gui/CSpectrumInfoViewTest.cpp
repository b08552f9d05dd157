#include "analysis/ui/CSpectrumInfoView.h"

#include "analysis/AnalysisFixtures.h"
#include "analysis/CalibrationModel.h"
#include "analysis/SpectrumInfoModel.h"
#include "gui/GuiTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

namespace orvane {
namespace {

// A triangular peak at channel 100 on a flat background of 10, its ROI 90..110, on 512 channels.
std::unique_ptr<CSpectrum> PeakRecord() {
    std::vector<std::pair<int, std::uint32_t>> counts;
    for (int ch = 0; ch < 512; ++ch) {
        const int distance = std::abs(ch - 100);
        counts.emplace_back(ch, 10u + static_cast<std::uint32_t>(distance < 8 ? (8 - distance) * 100 : 0));
    }
    return test::MakeSpectrum(512, 512, counts, {{90, 110}});
}

class InfoPane : public ::testing::Test {
protected:
    InfoPane() : record(PeakRecord()) {
        calibration.SetActive(record.get());
        view.show();
    }
    // What the window does on a cursor move or its tick.
    void Update() { view.Update(*record); }
    QString Text(const char* field) { return view.findChild<QLineEdit*>(field)->text(); }
    QCheckBox& Cal() { return *view.findChild<QCheckBox*>("cal"); }
    QStringList UnitLabels() {
        QStringList units;
        for (QLabel* label : view.findChildren<QLabel*>())
            if (label->text() == "chn" || label->text() == "keV")
                units << label->text();
        return units;
    }

    test::ScriptedHost host;
    std::unique_ptr<CSpectrum> record;
    SpectrumInfoModel info;
    CalibrationModel calibration{host};
    CSpectrumInfoView view{info, calibration};
};

TEST_F(InfoPane, ShowsDashesOutsideAnRoiAndTheFiguresInsideOne) {
    const char* peakFields[] = {"centroid", "fwhm", "fwtm", "resolution", "integral", "area"};
    record->SetCursor(20);
    Update();
    for (const char* field : peakFields)
        EXPECT_EQ(Text(field), SpectrumInfoModel::kDashes) << field;
    EXPECT_EQ(Text("position"), QString::fromStdString(info.Get().position));
    EXPECT_EQ(Text("counts"), "        10");

    record->SetCursor(100);
    Update();
    EXPECT_EQ(Text("centroid"), "  100.00");
    EXPECT_EQ(Text("counts"), "       810");
    for (const char* field : peakFields)
        EXPECT_NE(Text(field), SpectrumInfoModel::kDashes) << field;
    EXPECT_EQ(Text("fwhm").toStdString(), info.Get().fwhm);
    EXPECT_EQ(Text("area").toStdString(), info.Get().area);
    EXPECT_EQ(UnitLabels(), QStringList({"chn", "chn", "chn", "chn"}));
    test::Snapshot(view, "spectrum-info");
}

TEST_F(InfoPane, TimesRatesAndTheLossesBarComeFromTheRegisters) {
    RegisterImage& image = record->Image();
    image.Set(56, 1234); // 12.34 s real
    image.Set(58, 617);  // 6.17 s live
    // 256 counts in 1000 windows of 2048 × 12.5 ns: 10000 cps out; 20000 cps in.
    image.Set(44, 256);
    image.Set(46, 1000);
    image.Set(45, 512);
    image.Set(47, 1000);
    info.UpdateTimesAndRates(image);
    view.Refresh();
    EXPECT_EQ(Text("real"), "     12.34");
    EXPECT_EQ(Text("live"), "      6.17");
    EXPECT_EQ(Text("dead"), "50.0");
    EXPECT_EQ(Text("throughput"), "10000");
    EXPECT_EQ(Text("incoming"), "20000");
    EXPECT_EQ(view.findChild<QProgressBar*>("losses")->value(), 50);
}

TEST_F(InfoPane, TheCalBoxSwitchesTheCalibrationAndFollowsIt) {
    CalibrationSet& working = record->WorkingCalibration(0);
    working.b = 2.0;
    working.units = 2; // keV
    record->SetCursor(100);
    Update();
    ASSERT_FALSE(Cal().isChecked());

    QTest::mouseClick(&Cal(), Qt::LeftButton);
    EXPECT_TRUE(calibration.EnableChecked());
    EXPECT_EQ(working.enabled, 1);
    EXPECT_TRUE(Cal().isChecked());
    EXPECT_EQ(UnitLabels(), QStringList({"keV", "keV", "keV", "keV"}));
    EXPECT_EQ(Text("position"), "  200.00") << "calibrated positions have two decimals";
    EXPECT_EQ(Text("centroid"), "  200.00");

    QTest::mouseClick(&Cal(), Qt::LeftButton);
    EXPECT_FALSE(calibration.EnableChecked());
    EXPECT_EQ(working.enabled, 0);
    EXPECT_FALSE(Cal().isChecked());
    EXPECT_EQ(Text("position"), "     100");

    // With the record's plot hidden the calibration does not switch, and the box springs back.
    record->SetShown(false);
    QTest::mouseClick(&Cal(), Qt::LeftButton);
    EXPECT_EQ(working.enabled, 0);
    EXPECT_FALSE(Cal().isChecked());
}

} // namespace
} // namespace orvane
