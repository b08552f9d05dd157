#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace orvane {

class Clock;
class ExtentListView;
class Poster;
class SystemClockSetter;
class TimeSourceState;
class TimeStampDialogModel;

// The "Measurement Time Stamp" dialog: the report list, the editable time-server box and the five buttons
// of the model. A query runs on the model's worker, so the dialog stays live meanwhile; any choice (and
// Escape or closing the window, which mean "Use SYSTEM") ends it.
class CTimeUTC : public QDialog {
public:
    // Opens the model (one model per showing).
    explicit CTimeUTC(TimeStampDialogModel& model, QWidget* parent = nullptr);
    ~CTimeUTC() override;

    // Escape and closing the window: "Use SYSTEM".
    void reject() override;

private:
    void Sync();
    QPushButton* Button(const char* text, const char* name, void (CTimeUTC::*clicked)());
    void OnGetUtc();
    void OnSynchronize();
    void OnUseUtc();
    void OnUseLocal();
    void OnUseSystem();

    TimeStampDialogModel& model_;
    ExtentListView* report_ = nullptr;
    QComboBox* server_ = nullptr;
    QPushButton* getUtc_ = nullptr;
    QPushButton* synchronize_ = nullptr;
    QPushButton* useUtc_ = nullptr;
};

// What the window registers as the time-stamp dialog: a fresh model, the dialog shown modally, the choice
// handed to the time-source state.
void RunTimeStampDialog(QWidget* parent, Poster& poster, const Clock& clock, TimeSourceState& state,
                        SystemClockSetter& setter);

} // namespace orvane
