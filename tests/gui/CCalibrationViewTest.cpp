#include "analysis/ui/CCalibrationView.h"

#include "analysis/AnalysisFixtures.h"
#include "analysis/CalibrationModel.h"
#include "analysis/DisplayCalibration.h"
#include "analysis/ui/CFixedColumnListCtrl.h"
#include "gui/GuiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace orvane {
namespace {

class CCalibrationViewPane : public ::testing::Test {
protected:
    explicit CCalibrationViewPane(int hard = 16384, int soft = 4096)
        : record(test::MakeSpectrum(hard, soft, {}, {})) {
        model.SetActive(record.get());
        view.resize(300, 720);
        view.show();
    }

    template <typename W> W& Find(const char* name) {
        W* widget = view.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    CFixedColumnListCtrl& List() { return Find<CFixedColumnListCtrl>("points"); }
    void Click(const char* button) { QTest::mouseClick(&Find<QPushButton>(button), Qt::LeftButton); }
    // Types into the fields as a user does and presses ADD POINT.
    void Add(const char* channel, const char* energy) {
        QTest::keyClicks(&Find<QLineEdit>("channel"), QString::fromLatin1(channel));
        QTest::keyClicks(&Find<QLineEdit>("energy"), QString::fromLatin1(energy));
        Click("addPoint");
    }
    // Clicks the check box drawn in the row's channel cell.
    void ClickCheckBox(int row) {
        CFixedColumnListCtrl& list = List();
        QStyleOptionViewItem option;
        option.initFrom(&list);
        option.rect = list.visualItemRect(list.item(row, 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
    }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List().rowCount(); ++row)
            texts << List().item(row, column)->text();
        return texts;
    }
    QString Label(const char* name) { return Find<QLabel>(name).text(); }
    QString Caption() { return Find<QGroupBox>("state").title(); }
    CalibrationSet& Working() { return record->WorkingCalibration(record->SelectedInput()); }

    test::ScriptedHost host;
    std::unique_ptr<CSpectrum> record;
    CalibrationModel model{host};
    CCalibrationView view{model};
};

TEST_F(CCalibrationViewPane, ShowsEveryControlWithItsTextAndStartsUncalibrated) {
    const std::pair<const char*, const char*> buttons[] = {
        {"peak", "PEAK"},
        {"cursor", "CURSOR"},
        {"addPoint", "ADD POINT"},
        {"editSelected", "Edit Selected Points"},
        {"removeSelected", "Remove Selected Points"},
        {"removeAll", "Remove All Points"},
        {"calibrateSelected", "Calibrate with Selected Points"},
        {"calibrateAll", "Calibrate with All Points"},
    };
    for (const auto& [name, text] : buttons)
        EXPECT_EQ(Find<QPushButton>(name).text(), text) << name;
    EXPECT_EQ(Find<QCheckBox>("enable").text(), "ENABLE CALIBRATION");
    QStringList labels, groups;
    for (QLabel* label : view.findChildren<QLabel*>())
        labels << label->text();
    for (QGroupBox* group : view.findChildren<QGroupBox*>())
        groups << group->title();
    for (const char* text : {"CHANNEL", "ENERGY", "EN = aCH^2 + bCH + c"})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_TRUE(groups.contains("CALIBRATION POINTS"));

    QComboBox& units = Find<QComboBox>("units");
    QStringList unitNames;
    for (int i = 0; i < units.count(); ++i)
        unitNames << units.itemText(i);
    EXPECT_EQ(unitNames, QStringList({"chn", " eV", "keV", "MeV", "Volt", "Arb"}));
    EXPECT_EQ(units.currentIndex(), 0);
    EXPECT_EQ(List().horizontalHeaderItem(0)->text(), "Channel");
    EXPECT_EQ(List().horizontalHeaderItem(1)->text(), "Energy");
    EXPECT_EQ(Caption(), "Not Calibrated");
    EXPECT_EQ(Label("a"), "a = ?");
    EXPECT_EQ(Label("b"), "b = ?");
    EXPECT_EQ(Label("c"), "c = ?");
}

TEST_F(CCalibrationViewPane, AddPointSortsTheListClearsTheFieldsAndStopsAtTen) {
    Add("900", "1173.228");
    Add("100", "59.5409");
    Add("500.126", "661.657");
    EXPECT_EQ(Column(0), QStringList({"  100.00", "  500.13", "  900.00"}));
    EXPECT_EQ(Column(1), QStringList({" 59.5409", "661.6570", "1173.2280"}));
    EXPECT_EQ(Find<QLineEdit>("channel").text(), "");
    EXPECT_EQ(Find<QLineEdit>("energy").text(), "");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(List().item(row, 0)->textAlignment(), Qt::AlignCenter);
        EXPECT_EQ(List().item(row, 1)->textAlignment(), Qt::AlignCenter);
    }
    EXPECT_TRUE(host.boxes.empty());

    for (int i = 0; i < 7; ++i)
        Add(std::to_string(1000 + i).c_str(), "1");
    ASSERT_EQ(List().rowCount(), 10);
    Add("2000", "2");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Maximum number of 10 points has been reached"});
    EXPECT_EQ(List().rowCount(), 10);
    test::Snapshot(view, "calibration");
}

TEST_F(CCalibrationViewPane, CheckingARowReachesTheModelAndEditTakesItBack) {
    Add("300", "3");
    Add("100", "1");
    ClickCheckBox(1);
    EXPECT_EQ(List().item(1, 0)->checkState(), Qt::Checked);
    ASSERT_EQ(model.Rows().size(), 2u);
    EXPECT_FALSE(model.Rows()[0].checked);
    EXPECT_TRUE(model.Rows()[1].checked);
    ClickCheckBox(1);
    EXPECT_FALSE(model.Rows()[1].checked);
    ClickCheckBox(1);

    Click("editSelected");
    EXPECT_EQ(Column(0), QStringList({"  100.00"}));
    EXPECT_EQ(Find<QLineEdit>("channel").text(), "  300.00");
    EXPECT_EQ(Find<QLineEdit>("energy").text(), "  3.0000");
}

TEST_F(CCalibrationViewPane, CalibratingWithOneCheckedPointAsksForTwo) {
    Add("100", "10");
    Add("200", "20");
    ClickCheckBox(0);
    Click("calibrateSelected");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Calibration requires at least two points"});
    EXPECT_EQ(Caption(), "CALIBRATION");
    EXPECT_EQ(Label("b"), "b =   1.0000");
}

TEST_F(CCalibrationViewPane, CalibratingDoesNotEnableTheDisplay) {
    int changes = 0;
    view.onCalibrationChanged = [&] { ++changes; };
    Add("1000", "662");
    Add("2000", "1332");
    Click("calibrateAll");
    EXPECT_EQ(Caption(), "CALIBRATION w/ ALL");
    EXPECT_EQ(Label("b"), "b =   0.6700");
    EXPECT_FALSE(Find<QCheckBox>("enable").isChecked());
    EXPECT_EQ(Working().enabled, 0);
    EXPECT_FALSE(DisplayCalibration::Of(*record).calibrated);

    QTest::mouseClick(&Find<QCheckBox>("enable"), Qt::LeftButton);
    EXPECT_TRUE(model.EnableChecked());
    EXPECT_TRUE(DisplayCalibration::Of(*record).calibrated);
    Find<QComboBox>("units").setCurrentIndex(0); // a programmatic change is not the user's choice
    EXPECT_EQ(Working().units, 0);
    emit Find<QComboBox>("units").activated(2);
    EXPECT_EQ(Working().units, 2);
    EXPECT_EQ(DisplayCalibration::Of(*record).units, "keV");
    EXPECT_EQ(changes, 3);

    // With the plot hidden nothing switches and the box springs back.
    record->SetShown(false);
    QTest::mouseClick(&Find<QCheckBox>("enable"), Qt::LeftButton);
    EXPECT_TRUE(Find<QCheckBox>("enable").isChecked());
    EXPECT_EQ(Working().enabled, 1);
}

TEST_F(CCalibrationViewPane, ASoftSizeChangeShowsThePointsAtTheNewChannelsAndRefits) {
    Add("1000", "662");
    Add("2000", "1332");
    Click("calibrateAll");
    EXPECT_EQ(Label("c"), "c =  -8.0000");

    // What the window does when the record is activated again at its new size.
    record->SetSizes(16384, 1024);
    model.ReloadCalibration();
    view.Refresh();
    EXPECT_EQ(Column(0), QStringList({"  250.00", "  500.00"}));
    EXPECT_EQ(Column(1), QStringList({"662.0000", "1332.0000"}));
    EXPECT_EQ(Caption(), "CALIBRATION w/ ALL");
    EXPECT_EQ(Label("a"), "a =   0.0000");
    EXPECT_EQ(Label("b"), "b =   2.6800");
    EXPECT_EQ(Label("c"), "c =  -8.0000");
    EXPECT_NEAR(Working().Energy(250.0), 662.0, 1e-9);
}

TEST_F(CCalibrationViewPane, TheListRefusesColumnResizingAndRowSelection) {
    Add("100", "1");
    Add("200", "2");
    CFixedColumnListCtrl& list = List();
    QHeaderView& header = *list.horizontalHeader();
    const int first = list.columnWidth(0), second = list.columnWidth(1);
    EXPECT_LE(std::abs(first - second), 1) << "each column takes half the width";
    EXPECT_EQ(first + second, list.viewport()->width());

    // Dragging the boundary between the two headers.
    const QPoint boundary(first, header.height() / 2);
    QTest::mousePress(header.viewport(), Qt::LeftButton, {}, boundary);
    QTest::mouseMove(header.viewport(), boundary + QPoint(60, 0));
    QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, boundary + QPoint(60, 0));
    EXPECT_EQ(list.columnWidth(0), first);
    EXPECT_EQ(list.columnWidth(1), second);

    // Clicking a row's text, Ctrl+A and a programmatic select all leave nothing selected.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(0, 1)).center());
    QTest::keyClick(list.viewport(), Qt::Key_A, Qt::ControlModifier);
    list.selectAll();
    list.selectRow(1);
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_FALSE(list.selectionModel()->hasSelection());
    EXPECT_FALSE(model.Rows()[0].checked) << "a click beside the box does not check the row";
}

} // namespace
} // namespace orvane
