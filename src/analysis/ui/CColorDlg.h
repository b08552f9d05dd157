#pragma once

#include "analysis/ColourDialogModel.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace orvane {

// The system colour picker as the dialog asks for it: the colour shown first and the dialog's title;
// nothing when the user cancelled. Tests put their own answers here.
using ColourPicker = std::function<std::optional<std::uint32_t>(std::uint32_t initial, const QString& title)>;

// "ADJUST COLORS": four buttons that each pick one colour of the plot, "Default", a preview in the current
// colours, "OK" and "Cancel" (which, like closing the dialog, puts the opening colours back).
class CColorDlg : public QDialog {
    Q_OBJECT
public:
    CColorDlg(ColourDialogModel& model, ColourPicker picker, QWidget* parent = nullptr);

    QPushButton* Button(ColourRole role) const;
    QPushButton* DefaultButton() const { return default_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

    // The system colour dialog.
    static std::optional<std::uint32_t> PickWithQt(std::uint32_t initial, const QString& title);

public slots:
    void reject() override;

private:
    void Pick(ColourRole role);
    void UpdatePreview();

    ColourDialogModel& model_;
    ColourPicker picker_;
    QPushButton* buttons_[4] = {};
    QPushButton* default_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QLabel* preview_;
};

} // namespace orvane
