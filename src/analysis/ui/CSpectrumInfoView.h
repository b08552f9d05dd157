#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace orvane {

class CalibrationModel;
class CSpectrum;
class SpectrumInfoModel;

// The "Spectrum Info" pane: the cursor, the peak figures of its ROI, the run times and the counting rates
// as the information model holds them, and the "CAL" box, which is the calibration's enable switch.
class CSpectrumInfoView : public QWidget {
public:
    CSpectrumInfoView(SpectrumInfoModel& info, CalibrationModel& calibration, QWidget* parent = nullptr);

    // Updates the information model from the active record and shows it: after every cursor move, while
    // a button is dragged on the plot and on the window's 200 ms tick.
    void Update(CSpectrum& active);
    // Shows the model's texts as they are, e.g. after the acquisition panel's periodic update has set the
    // times and rates. Only changed texts are set again.
    void Refresh();

    // After the "CAL" box switched the calibration, so the window can refresh what else shows it.
    std::function<void()> onCalibrationToggled;

private:
    struct Fields {
        QLineEdit *position, *counts, *centroid, *fwhm, *fwtm, *resolution, *integral, *area;
        QLineEdit *real, *live, *dead, *throughput, *incoming;
        QLabel *positionUnit, *centroidUnit, *fwhmUnit, *fwtmUnit;
    };

    QWidget* CursorGroup();
    QWidget* PeakGroup();
    QWidget* TimeGroup();
    QWidget* RateGroup();
    QLineEdit* AddField(QGridLayout* grid, int row, const char* label, const char* name, QLabel** unit,
                        const char* unitText = "");
    QWidget* LossesScale();
    void OnCalClicked(bool checked);

    SpectrumInfoModel& info_;
    CalibrationModel& calibration_;
    Fields fields_{};
    QCheckBox* cal_ = nullptr;
    QProgressBar* losses_ = nullptr;
};

} // namespace orvane
