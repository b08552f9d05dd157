#include "spectrum/ui/CDialogTag.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvane {

CDialogTag::CDialogTag(const QString& tag, QWidget* parent) : QDialog(parent), field_(new QLineEdit(this)) {
    setWindowTitle("Spectrum Tag");
    field_->setMaxLength(kMaxLength);
    field_->setText(tag.left(kMaxLength));
    field_->setMinimumWidth(420);
    field_->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(field_);
    layout->addWidget(buttons);
}

QString CDialogTag::Tag() const {
    return field_->text();
}

} // namespace orvane
