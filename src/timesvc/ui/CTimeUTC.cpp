#include "timesvc/ui/CTimeUTC.h"

#include "shell/ProgressList.h"
#include "shell/ui/ExtentListView.h"
#include "timesvc/TimeStampDialogModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

CTimeUTC::CTimeUTC(TimeStampDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(QString::fromLatin1(TimeStampDialogModel::kCaption));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(QString::fromLatin1(TimeStampDialogModel::kFormatLabel)));
    report_ = new ExtentListView;
    report_->setObjectName(QStringLiteral("report"));
    report_->UseReportFont();
    const QFontMetrics metrics(report_->font());
    // Wide enough for the report's longest lines (76 dashes) without scrolling.
    report_->setMinimumSize(ProgressList::kPixelsPerCharacter * 78 + 24, metrics.height() * 11 + 6);
    layout->addWidget(report_, 1);

    auto* controls = new QGridLayout;
    controls->addWidget(new QLabel(QStringLiteral("NTP TIME SERVER")), 0, 0);
    server_ = new QComboBox;
    server_->setObjectName(QStringLiteral("server"));
    server_->setEditable(true);
    server_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& preset : TimeStampDialogModel::PresetServers())
        server_->addItem(QString::fromStdString(preset));
    server_->setMinimumWidth(metrics.horizontalAdvance(QString(24, QLatin1Char('x'))));
    controls->addWidget(server_, 1, 0);
    getUtc_ = Button("Get UTC", "getUtc", &CTimeUTC::OnGetUtc);
    getUtc_->setDefault(true);
    controls->addWidget(getUtc_, 1, 1);
    synchronize_ = Button("Synchonize SYSTEM/LOCAL with NTP", "synchronize", &CTimeUTC::OnSynchronize);
    controls->addWidget(synchronize_, 2, 0, 1, 2);
    useUtc_ = Button("Use UTC", "useUtc", &CTimeUTC::OnUseUtc);
    controls->addWidget(useUtc_, 0, 2);
    controls->addWidget(Button("Use LOCAL", "useLocal", &CTimeUTC::OnUseLocal), 1, 2);
    controls->addWidget(Button("Use SYSTEM", "useSystem", &CTimeUTC::OnUseSystem), 2, 2);
    controls->setColumnStretch(0, 1);
    controls->setColumnMinimumWidth(1, 0);
    layout->addLayout(controls);

    model_.onChanged = [this] { Sync(); };
    model_.Open();
    server_->setCurrentText(QString::fromStdString(model_.serverText));
    connect(server_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { model_.serverText = text.trimmed().toStdString(); });
}

CTimeUTC::~CTimeUTC() {
    model_.onChanged = nullptr;
}

QPushButton* CTimeUTC::Button(const char* text, const char* name, void (CTimeUTC::*clicked)()) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, clicked);
    return button;
}

void CTimeUTC::Sync() {
    report_->ShowReport(model_.Report());
    getUtc_->setEnabled(model_.GetUtcEnabled());
    synchronize_->setEnabled(model_.SynchronizeEnabled());
    useUtc_->setEnabled(model_.UseUtcEnabled());
}

void CTimeUTC::OnGetUtc() {
    model_.serverText = server_->currentText().trimmed().toStdString();
    model_.GetUtc();
}

void CTimeUTC::OnSynchronize() {
    model_.Synchronize();
}

void CTimeUTC::OnUseUtc() {
    if (model_.UseUtc())
        accept();
}

void CTimeUTC::OnUseLocal() {
    model_.UseLocal();
    accept();
}

void CTimeUTC::OnUseSystem() {
    model_.UseSystem();
    accept();
}

void CTimeUTC::reject() {
    model_.UseSystem();
    QDialog::reject();
}

void RunTimeStampDialog(QWidget* parent, Poster& poster, const Clock& clock, TimeSourceState& state,
                        SystemClockSetter& setter) {
    TimeStampDialogModel model(poster, clock, state, setter);
    CTimeUTC dialog(model, parent);
    dialog.exec();
}

} // namespace orvane
