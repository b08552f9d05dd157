#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class CalibrationModel;
class CFixedColumnListCtrl;

// The "Calibration" pane: the points list and the controls that edit the active record's calibration.
// Every control runs the model's action and then shows the model again; the pane keeps no state of its own.
class CCalibrationView : public QWidget {
public:
    explicit CCalibrationView(CalibrationModel& model, QWidget* parent = nullptr);

    // Shows what the model holds: after a record was activated and after "Copy Calibration".
    void Refresh();

    // After the calibration shown on the plot changed (enable, unit or a fit), so the window can refresh
    // what else shows it, e.g. the information pane's "CAL" box and units.
    std::function<void()> onCalibrationChanged;

private:
    QWidget* EntryGroup();
    QWidget* PointsGroup();
    QWidget* CoefficientsGroup();
    QPushButton* Button(const char* text, const char* name, void (CalibrationModel::*action)(),
                        bool changesDisplay = false);
    void Run(void (CalibrationModel::*action)(), bool changesDisplay);
    void ShowRows();

    CalibrationModel& model_;
    QCheckBox* enable_ = nullptr;
    QLineEdit* channel_ = nullptr;
    QLineEdit* energy_ = nullptr;
    QComboBox* units_ = nullptr;
    CFixedColumnListCtrl* list_ = nullptr;
    QGroupBox* state_ = nullptr;
    QLabel* a_ = nullptr;
    QLabel* b_ = nullptr;
    QLabel* c_ = nullptr;
};

} // namespace orvane
