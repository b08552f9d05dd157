#include "analysis/ui/CColorDlg.h"

#include "analysis/ui/PlotPainter.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace orvane {

namespace {

struct RoleButton {
    ColourRole role;
    const char* caption;
};
constexpr RoleButton kRoleButtons[] = {{ColourRole::Background, "BACKGROUND"},
                                       {ColourRole::Spectrum, "SPECTRUM"},
                                       {ColourRole::Roi, "ROI"},
                                       {ColourRole::Cursor, "CURSOR"}};

} // namespace

CColorDlg::CColorDlg(ColourDialogModel& model, ColourPicker picker, QWidget* parent)
    : QDialog(parent), model_(model), picker_(picker ? std::move(picker) : ColourPicker(&PickWithQt)),
      default_(new QPushButton("Default", this)), ok_(new QPushButton("OK", this)),
      cancel_(new QPushButton("Cancel", this)), preview_(new QLabel(this)) {
    setWindowTitle("ADJUST COLORS");
    auto* roles = new QVBoxLayout;
    for (std::size_t i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(kRoleButtons[i].caption, this);
        buttons_[i]->setAutoDefault(false);
        roles->addWidget(buttons_[i]);
        const ColourRole role = kRoleButtons[i].role;
        connect(buttons_[i], &QPushButton::clicked, this, [this, role] { Pick(role); });
    }
    roles->addStretch();
    roles->addWidget(default_);
    default_->setAutoDefault(false);
    connect(default_, &QPushButton::clicked, this, [this] {
        model_.Default();
        UpdatePreview();
    });

    preview_->setFixedSize(240, 150);
    preview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* top = new QHBoxLayout;
    top->addLayout(roles);
    top->addWidget(preview_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok_);
    bottom->addWidget(cancel_);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &CColorDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    UpdatePreview();
}

QPushButton* CColorDlg::Button(ColourRole role) const {
    for (std::size_t i = 0; i < 4; ++i)
        if (kRoleButtons[i].role == role)
            return buttons_[i];
    return nullptr;
}

std::optional<std::uint32_t> CColorDlg::PickWithQt(std::uint32_t initial, const QString& title) {
    const QColor chosen = QColorDialog::getColor(PlotPainter::ToColor(initial), nullptr, title);
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red()) | static_cast<std::uint32_t>(chosen.green()) << 8 |
           static_cast<std::uint32_t>(chosen.blue()) << 16;
}

void CColorDlg::Pick(ColourRole role) {
    const QPushButton* button = Button(role);
    if (const auto colour = picker_(model_.Colour(role), button ? button->text() : QString())) {
        model_.Choose(role, *colour);
        UpdatePreview();
    }
}

void CColorDlg::reject() {
    model_.Cancel();
    QDialog::reject();
}

// A small spectrum in the current colours: a peak on a falling continuum, an ROI over the peak, the cursor.
void CColorDlg::UpdatePreview() {
    const DisplayColours& c = model_.Colours();
    QPixmap pixmap(preview_->size());
    pixmap.fill(PlotPainter::ToColor(c.background));
    QPainter p(&pixmap);
    const int w = pixmap.width(), h = pixmap.height();
    for (int x = 4; x < w - 4; x += 2) {
        const double continuum = 0.55 * std::exp(-x / 90.0);
        const double peak = 0.75 * std::exp(-std::pow((x - 150) / 9.0, 2));
        const int top = h - 6 - static_cast<int>((continuum + peak) * (h - 16));
        const bool roi = x >= 128 && x <= 172;
        p.fillRect(x, top, 2, h - 6 - top, PlotPainter::ToColor(roi ? c.roi : c.spectrum));
    }
    p.fillRect(150, 4, 1, h - 10, PlotPainter::ToColor(c.cursor));
    preview_->setPixmap(pixmap);
}

} // namespace orvane
