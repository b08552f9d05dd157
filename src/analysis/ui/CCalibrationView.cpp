#include "analysis/ui/CCalibrationView.h"

#include "analysis/CalibrationModel.h"
#include "analysis/CalibrationSet.h"
#include "analysis/ui/CFixedColumnListCtrl.h"

#include "shell/ui/PaneLook.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <QVBoxLayout>

namespace orvane {

using pane::Show;

namespace {

QLabel* Coefficient(const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    // "%8.4f" pads with blanks; a fixed-pitch font keeps the three values' decimal points aligned.
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CCalibrationView::CCalibrationView(CalibrationModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);

    enable_ = new QCheckBox(QStringLiteral("ENABLE CALIBRATION"));
    enable_->setObjectName(QStringLiteral("enable"));
    connect(enable_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.OnEnableCalibration(checked);
        Refresh(); // the box springs back when the calibration could not be switched
        if (onCalibrationChanged)
            onCalibrationChanged();
    });
    layout->addWidget(enable_);
    layout->addWidget(EntryGroup());
    layout->addWidget(PointsGroup());
    auto* formula = new QLabel(QStringLiteral("EN = aCH^2 + bCH + c"));
    formula->setAlignment(Qt::AlignCenter);
    layout->addWidget(formula);
    layout->addWidget(CoefficientsGroup());
    layout->addStretch(1); // a tall dock leaves its spare room below, not inside the list
    Refresh();
}

QPushButton* CCalibrationView::Button(const char* text, const char* name, void (CalibrationModel::*action)(),
                                      bool changesDisplay) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this,
            [this, action, changesDisplay] { Run(action, changesDisplay); });
    return button;
}

void CCalibrationView::Run(void (CalibrationModel::*action)(), bool changesDisplay) {
    (model_.*action)();
    Refresh();
    if (changesDisplay && onCalibrationChanged)
        onCalibrationChanged();
}

QWidget* CCalibrationView::EntryGroup() {
    auto* entry = new QWidget;
    auto* grid = new QGridLayout(entry);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->setColumnStretch(1, 1);

    channel_ = new QLineEdit;
    channel_->setObjectName(QStringLiteral("channel"));
    channel_->setMaxLength(static_cast<int>(CalibrationModel::kMaxFieldText));
    connect(channel_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetChannelText(text.toStdString()); });
    energy_ = new QLineEdit;
    energy_->setObjectName(QStringLiteral("energy"));
    energy_->setMaxLength(static_cast<int>(CalibrationModel::kMaxFieldText));
    connect(energy_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetEnergyText(text.toStdString()); });

    units_ = new QComboBox;
    units_->setObjectName(QStringLiteral("units"));
    for (const std::string& unit : CalibrationUnitNames())
        units_->addItem(QString::fromStdString(unit));
    // Only the user's choice runs the action; Refresh selecting the model's unit must not.
    connect(units_, &QComboBox::activated, this, [this](int index) {
        model_.OnUnitSelected(index);
        Refresh();
        if (onCalibrationChanged)
            onCalibrationChanged();
    });

    grid->addWidget(new QLabel(QStringLiteral("CHANNEL")), 0, 0);
    grid->addWidget(channel_, 0, 1);
    grid->addWidget(Button("PEAK", "peak", &CalibrationModel::OnPeak), 0, 2);
    grid->addWidget(Button("CURSOR", "cursor", &CalibrationModel::OnCursor), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("ENERGY")), 1, 0);
    grid->addWidget(energy_, 1, 1);
    grid->addWidget(units_, 1, 2, 1, 2);
    grid->addWidget(Button("ADD POINT", "addPoint", &CalibrationModel::OnAddPoint), 2, 0, 1, 4);
    return entry;
}

QWidget* CCalibrationView::PointsGroup() {
    auto* box = new QGroupBox(QStringLiteral("CALIBRATION POINTS"));
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(4);
    list_ = new CFixedColumnListCtrl;
    list_->setObjectName(QStringLiteral("points"));
    list_->onRowChecked = [this](int row, bool checked) {
        model_.SetRowChecked(static_cast<std::size_t>(row), checked);
    };
    list_->onFocusLost = [this] { model_.OnListFocusLost(); };
    column->addWidget(list_, 1);
    column->addWidget(Button("Edit Selected Points", "editSelected", &CalibrationModel::OnEditSelected));
    column->addWidget(
        Button("Remove Selected Points", "removeSelected", &CalibrationModel::OnRemoveSelected));
    column->addWidget(Button("Remove All Points", "removeAll", &CalibrationModel::OnRemoveAll));
    column->addWidget(Button("Calibrate with Selected Points", "calibrateSelected",
                             &CalibrationModel::OnCalibrateSelected, true));
    column->addWidget(
        Button("Calibrate with All Points", "calibrateAll", &CalibrationModel::OnCalibrateAll, true));
    return box;
}

QWidget* CCalibrationView::CoefficientsGroup() {
    state_ = new QGroupBox;
    state_->setObjectName(QStringLiteral("state"));
    auto* column = new QVBoxLayout(state_);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(2);
    a_ = Coefficient("a");
    b_ = Coefficient("b");
    c_ = Coefficient("c");
    for (QLabel* label : {a_, b_, c_})
        column->addWidget(label);
    return state_;
}

void CCalibrationView::ShowRows() {
    const auto& rows = model_.Rows();
    bool same = list_->rowCount() == static_cast<int>(rows.size());
    for (int i = 0; same && i < list_->rowCount(); ++i) {
        const CalibrationModel::Row& row = rows[static_cast<std::size_t>(i)];
        same = list_->item(i, 0)->text().toStdString() == row.channel &&
               list_->item(i, 1)->text().toStdString() == row.energy && list_->IsChecked(i) == row.checked;
    }
    // Rebuilding an unchanged list would reset its scroll position.
    if (!same)
        list_->SetRows(rows);
}

void CCalibrationView::Refresh() {
    if (enable_->isChecked() != model_.EnableChecked()) {
        const QSignalBlocker quiet(enable_);
        enable_->setChecked(model_.EnableChecked());
    }
    Show(channel_, model_.ChannelText());
    Show(energy_, model_.EnergyText());
    if (units_->currentIndex() != model_.SelectedUnit()) {
        const QSignalBlocker quiet(units_);
        units_->setCurrentIndex(model_.SelectedUnit());
    }
    ShowRows();
    const QString caption = QString::fromStdString(model_.Caption());
    if (state_->title() != caption)
        state_->setTitle(caption);
    Show(a_, model_.AText());
    Show(b_, model_.BText());
    Show(c_, model_.CText());
}

} // namespace orvane
