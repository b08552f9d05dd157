#pragma once

#include <QDialog>

class QLineEdit;

namespace orvane {

// "Spectrum Tag": one text field of at most 100 characters, OK and Cancel.
class CDialogTag : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 100;

    explicit CDialogTag(const QString& tag, QWidget* parent = nullptr);
    QString Tag() const;
    QLineEdit* Field() const { return field_; }

private:
    QLineEdit* field_;
};

} // namespace orvane
