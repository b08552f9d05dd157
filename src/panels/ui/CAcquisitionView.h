#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace orvane {

class AnalyzerSession;
class Clock;
class CSpinButtons;
class Host;

// The "ACQUISITION" pane: sizes, AUTO UPDATE, DIGITAL PULSER, the preset, the run buttons and timers,
// coincidence, the instrument's condition and the "SPECTRUM LOGGER" group. Every control hands its change
// to the acquisition panel or the logger model; the view itself only shows what they hold.
class CAcquisitionView : public QWidget {
public:
    CAcquisitionView(AnalyzerSession& session, Host& host, const Clock& clock, QWidget* parent = nullptr);

    // Shows the models: after every read-back and activation, and on the window's 200 ms tick.
    void Refresh();

private:
    struct Timing {
        QLineEdit* samples = nullptr;
        CSpinButtons* spin = nullptr;
        QLineEdit* us = nullptr;
    };
    struct Condition {
        QLineEdit *internalTemp, *detector, *bias;
        QLabel *detectorLabel, *biasLabel, *coolingLabel;
        QProgressBar* cooling;
        QWidget* coolingScale;
    };
    struct Logger {
        QLineEdit *runs, *completed, *folder, *base;
        QCheckBox* enable;
    };

    QWidget* SpectrumGroup();
    QWidget* SwitchRow();
    QWidget* TimeGroup();
    QWidget* TimersGroup();
    QWidget* ButtonRow();
    QWidget* CoincidenceGroup();
    QWidget* ConditionGroup();
    QWidget* LoggerGroup();
    void AddTiming(QGridLayout* grid, int row, const char* label, int which);
    QWidget* CoolingScale();
    QPushButton* Button(const char* text, const char* name);

    void OnTimingEdited(int which, const QString& text);
    void OnTimingStep(int which, int delta);
    void OnEnableClicked(bool checked);
    void OnFolderClicked();

    void ShowSelectors();
    void ShowTexts();
    void ShowTimings();
    void ShowCondition();
    void ShowLogger();
    void ShowEnables();

    AnalyzerSession& session_;
    Host& host_;
    const Clock& clock_;
    QComboBox *hard_ = nullptr, *soft_ = nullptr, *preset_ = nullptr, *coincidence_ = nullptr;
    QCheckBox *autoUpdate_ = nullptr, *pulser_ = nullptr;
    QLineEdit *presetSeconds_ = nullptr, *startText_ = nullptr;
    QLabel* startLabel_ = nullptr;
    QLineEdit *real_ = nullptr, *live_ = nullptr, *dead_ = nullptr;
    QPushButton *start_ = nullptr, *stop_ = nullptr, *reset_ = nullptr, *timeStamp_ = nullptr;
    Timing timings_[3];
    Condition condition_{};
    Logger logger_{};
};

} // namespace orvane
