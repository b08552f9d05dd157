#include "panels/ui/CAcquisitionView.h"

#include "panels/ui/CSpinButtons.h"
#include "shell/AnalyzerSession.h"
#include "shell/Host.h"

#include "shell/ui/PaneLook.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

#include <QVBoxLayout>

#include <cstdio>

namespace orvane {

using pane::Group;
using pane::Show;

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A numeric edit keeps what the user is typing: an edit emptied under the cursor stays empty, and a text
// meaning the model's number is left as it is, so the tick does not rewrite the text being typed.
void ShowNumber(QLineEdit* field, long long value) {
    const bool typing = field->hasFocus() && field->text().isEmpty();
    if (!typing && (field->text().isEmpty() || field->text().toLongLong() != value))
        field->setText(QString::number(value));
}

void ShowIndex(QComboBox* box, int index) {
    if (box->currentIndex() != index) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(index);
    }
}

void ShowCheck(QCheckBox* box, bool checked) {
    if (box->isChecked() != checked) {
        const QSignalBlocker quiet(box);
        box->setChecked(checked);
    }
}

QLineEdit* Field(const char* name, bool readOnly, const char* widest = "000000000000") {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(readOnly);
    if (readOnly)
        field->setFocusPolicy(Qt::ClickFocus); // a value can still be selected and copied
    field->setAlignment(Qt::AlignRight);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)) + 12);
    return field;
}

QLabel* Label(const char* text, const char* name = nullptr) {
    auto* label = new QLabel(QString::fromLatin1(text));
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

QComboBox* Selector(const char* name, const QStringList& entries) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(entries);
    return box;
}

QStringList Numbers(const std::vector<int>& sizes) {
    QStringList entries;
    for (int size : sizes)
        entries << QString::number(size);
    return entries;
}

QStringList Texts(const std::vector<std::string>& names) {
    QStringList entries;
    for (const std::string& name : names)
        entries << QString::fromStdString(name);
    return entries;
}

const char* const kTimingNames[3] = {"srcDelay", "winWidth", "peakDelay"};

} // namespace

CAcquisitionView::CAcquisitionView(AnalyzerSession& session, Host& host, const Clock& clock, QWidget* parent)
    : QWidget(parent), session_(session), host_(host), clock_(clock) {
    pane::ApplyPalette(*this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(SpectrumGroup());
    layout->addWidget(SwitchRow());
    layout->addWidget(TimeGroup());
    layout->addWidget(TimersGroup());
    layout->addWidget(ButtonRow());
    layout->addWidget(CoincidenceGroup());
    layout->addWidget(ConditionGroup());
    layout->addWidget(LoggerGroup());
    layout->addStretch(1);
    Refresh();
}

QWidget* CAcquisitionView::SpectrumGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("SPECTRUM", grid);
    AcquisitionPanel& panel = session_.acquisition;
    hard_ = Selector("hard", Numbers(AcquisitionPanel::HardSizes()));
    hard_->setEnabled(false); // the program sets it from the record
    soft_ = Selector("soft", Numbers(AcquisitionPanel::SoftSizes()));
    connect(soft_, &QComboBox::activated, this, [this, &panel](int index) {
        panel.OnSoftSize(AcquisitionPanel::SoftSizes()[static_cast<std::size_t>(index)]);
        Refresh();
    });
    grid->addWidget(Label("HARD"), 0, 0);
    grid->addWidget(hard_, 0, 1);
    grid->addWidget(Label("SOFT"), 0, 2);
    grid->addWidget(soft_, 0, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* CAcquisitionView::SwitchRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(6, 0, 6, 0);
    autoUpdate_ = new QCheckBox(QStringLiteral("AUTO UPDATE"));
    autoUpdate_->setObjectName(QStringLiteral("autoUpdate"));
    connect(autoUpdate_, &QCheckBox::clicked, this, [this](bool checked) {
        session_.acquisition.OnAutoUpdateClicked(checked);
        Refresh();
    });
    pulser_ = new QCheckBox(QStringLiteral("DIGITAL PULSER"));
    pulser_->setObjectName(QStringLiteral("pulser"));
    connect(pulser_, &QCheckBox::clicked, this,
            [this](bool checked) { session_.acquisition.OnPulser(checked); });
    line->addWidget(autoUpdate_);
    line->addStretch(1);
    line->addWidget(pulser_);
    return row;
}

QWidget* CAcquisitionView::TimeGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("TIME", grid);
    AcquisitionPanel& panel = session_.acquisition;
    preset_ = Selector("preset", Texts(AcquisitionPanel::PresetNames()));
    connect(preset_, &QComboBox::activated, this, [&panel](int index) { panel.OnPresetMode(index); });
    presetSeconds_ = Field("presetSeconds", false, "00000000");
    connect(presetSeconds_, &QLineEdit::textEdited, this,
            [&panel](const QString& text) { panel.OnPresetText(text.toStdString()); });
    startLabel_ = Label("", "startLabel");
    startText_ = Field("startText", true, "Hardware Not Connected");
    startText_->setAlignment(Qt::AlignCenter);
    grid->addWidget(Label("ACQUISITION [s]"), 0, 0);
    grid->addWidget(preset_, 0, 1);
    grid->addWidget(presetSeconds_, 0, 2);
    grid->addWidget(startLabel_, 1, 0, 1, 2);
    grid->addWidget(Label("DD/MM/YYYY  HH:MM:SS"), 1, 2, Qt::AlignRight);
    grid->addWidget(startText_, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    return box;
}

QWidget* CAcquisitionView::TimersGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("TIMERS", grid);
    real_ = Field("real", true, "00000000.00");
    live_ = Field("live", true, "00000000.00");
    dead_ = Field("dead", true, "100.0");
    grid->addWidget(Label("REAL [s]"), 0, 0);
    grid->addWidget(Label("LIVE [s]"), 0, 1);
    grid->addWidget(Label("DEAD %"), 0, 2);
    grid->addWidget(real_, 1, 0);
    grid->addWidget(live_, 1, 1);
    grid->addWidget(dead_, 1, 2);
    return box;
}

QPushButton* CAcquisitionView::Button(const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QWidget* CAcquisitionView::ButtonRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    AcquisitionPanel& panel = session_.acquisition;
    start_ = Button("START", "start");
    stop_ = Button("STOP", "stop");
    reset_ = Button("RESET", "reset");
    timeStamp_ = Button("TIME STAMP", "timeStamp");
    connect(start_, &QPushButton::clicked, this, [this, &panel] {
        panel.Start();
        Refresh();
    });
    connect(stop_, &QPushButton::clicked, this, [this, &panel] {
        panel.Stop();
        Refresh();
    });
    connect(reset_, &QPushButton::clicked, this, [this, &panel] {
        panel.Reset();
        Refresh();
    });
    connect(timeStamp_, &QPushButton::clicked, this, [this] {
        host_.RunDialog(DialogKind::TimeStamp);
        Refresh();
    });
    for (QPushButton* button : {start_, stop_, reset_, timeStamp_})
        line->addWidget(button);
    return row;
}

QWidget* CAcquisitionView::CoincidenceGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("COINCIDENCE", grid);
    coincidence_ = Selector("coincidence", Texts(AcquisitionPanel::CoincidenceNames()));
    connect(coincidence_, &QComboBox::activated, this, [this](int index) {
        session_.acquisition.OnCoincidenceMode(index);
        Refresh();
    });
    grid->addWidget(coincidence_, 0, 0, 1, 5);
    AddTiming(grid, 1, "Src Delay", AcquisitionPanel::kSrcDelay);
    AddTiming(grid, 2, "Win Width", AcquisitionPanel::kWinWidth);
    AddTiming(grid, 3, "Peak Delay", AcquisitionPanel::kPeakDelay);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

void CAcquisitionView::AddTiming(QGridLayout* grid, int row, const char* label, int which) {
    Timing& t = timings_[which];
    t.samples = Field(kTimingNames[which], false, "00000");
    t.spin = new CSpinButtons(clock_);
    t.spin->setObjectName(QString::fromLatin1(kTimingNames[which]) + QStringLiteral("Spin"));
    t.us = Field((std::string(kTimingNames[which]) + "Us").c_str(), true, "000.0000");
    connect(t.samples, &QLineEdit::textEdited, this,
            [this, which](const QString& text) { OnTimingEdited(which, text); });
    t.spin->onStep = [this, which](int delta) { OnTimingStep(which, delta); };
    grid->addWidget(Label(label), row, 0);
    grid->addWidget(t.samples, row, 1);
    grid->addWidget(t.spin, row, 2);
    grid->addWidget(t.us, row, 3);
    grid->addWidget(Label("us"), row, 4);
}

void CAcquisitionView::OnTimingEdited(int which, const QString& text) {
    const int shown =
        session_.acquisition.OnTimingText(static_cast<AcquisitionPanel::Timing>(which), text.toStdString());
    // An empty edit stays empty while the user types; any other text becomes the clamped value.
    if (!text.isEmpty() && text != QString::number(shown))
        timings_[which].samples->setText(QString::number(shown));
    Show(timings_[which].us, session_.acquisition.TimingUsText(static_cast<AcquisitionPanel::Timing>(which)));
}

void CAcquisitionView::OnTimingStep(int which, int delta) {
    const int value = session_.acquisition.timing[which] + delta;
    // The step goes through the edit's own path, so the clamp and the write are the typed ones.
    timings_[which].samples->setText(QString::number(value));
    OnTimingEdited(which, QString::number(value));
}

QWidget* CAcquisitionView::ConditionGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("CONDITION", grid);
    Condition& c = condition_;
    c.internalTemp = Field("internalTemp", true, "00000");
    c.detector = Field("detector", true, "000000");
    c.bias = Field("bias", true, "00000");
    c.detectorLabel = Label("", "detectorLabel");
    c.biasLabel = Label("Bias Voltage [V]", "biasLabel");
    c.coolingLabel = Label("Cooling Power %", "coolingLabel");
    c.cooling = new QProgressBar;
    c.cooling->setObjectName(QStringLiteral("cooling"));
    c.cooling->setRange(0, 100);
    c.cooling->setTextVisible(false);
    c.cooling->setMaximumHeight(14);
    c.coolingScale = CoolingScale();
    grid->addWidget(Label("Internal Temp [C]"), 0, 0);
    grid->addWidget(c.internalTemp, 0, 1);
    grid->addWidget(c.detectorLabel, 1, 0);
    grid->addWidget(c.detector, 1, 1);
    grid->addWidget(c.biasLabel, 2, 0);
    grid->addWidget(c.bias, 2, 1);
    grid->addWidget(c.coolingLabel, 3, 0, 1, 2);
    grid->addWidget(c.cooling, 4, 0, 1, 2);
    grid->addWidget(c.coolingScale, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* CAcquisitionView::CoolingScale() {
    auto* scale = new QWidget;
    scale->setObjectName(QStringLiteral("coolingScale"));
    auto* row = new QHBoxLayout(scale);
    row->setContentsMargins(0, 0, 0, 0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    // The marks with equal gaps between them, so they stand at the bar's fifths.
    for (int mark = 0; mark <= 100; mark += 20) {
        if (mark > 0)
            row->addStretch(1);
        auto* label = new QLabel(QString::number(mark));
        label->setFont(small);
        row->addWidget(label);
    }
    return scale;
}

QWidget* CAcquisitionView::LoggerGroup() {
    QGridLayout* grid = nullptr;
    QGroupBox* box = Group("SPECTRUM LOGGER", grid);
    SpectrumLogger& logger = session_.logger;
    Logger& l = logger_;
    l.runs = Field("runs", false, "000000");
    connect(l.runs, &QLineEdit::textEdited, this,
            [&logger](const QString& text) { logger.runs = text.toInt(); });
    l.completed = Field("completed", true, "000000");
    l.folder = Field("folder", true, "/home/user/spectra/");
    l.folder->setAlignment(Qt::AlignLeft);
    auto* choose = Button("FOLDER", "folderButton");
    connect(choose, &QPushButton::clicked, this, [this] { OnFolderClicked(); });
    l.base = Field("base", false, "spectrum");
    l.base->setAlignment(Qt::AlignLeft);
    connect(l.base, &QLineEdit::textEdited, this,
            [&logger](const QString& text) { logger.base = text.toStdString(); });
    l.enable = new QCheckBox(QStringLiteral("   ENABLE"));
    l.enable->setObjectName(QStringLiteral("enable"));
    connect(l.enable, &QCheckBox::clicked, this, [this](bool checked) { OnEnableClicked(checked); });
    grid->addWidget(Label("RUNS"), 0, 0);
    grid->addWidget(l.runs, 0, 1);
    grid->addWidget(Label("COMPLETED"), 0, 2);
    grid->addWidget(l.completed, 0, 3);
    grid->addWidget(Label("STORAGE FOLDER"), 1, 0, 1, 3);
    grid->addWidget(choose, 1, 3);
    grid->addWidget(l.folder, 2, 0, 1, 4);
    grid->addWidget(Label("FILE NAME (BASE) "), 3, 0, 1, 2);
    grid->addWidget(l.enable, 3, 2, 1, 2, Qt::AlignRight);
    grid->addWidget(l.base, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

void CAcquisitionView::OnEnableClicked(bool checked) {
    session_.logger.ClickEnable(checked);
    Refresh(); // the checks may have unchecked the box again, or reset COMPLETED
}

void CAcquisitionView::OnFolderClicked() {
    session_.logger.ClickFolder();
    Refresh();
}

void CAcquisitionView::Refresh() {
    ShowSelectors();
    ShowTexts();
    ShowTimings();
    ShowCondition();
    ShowLogger();
    ShowEnables();
}

void CAcquisitionView::ShowSelectors() {
    const AcquisitionPanel& panel = session_.acquisition;
    ShowIndex(hard_, panel.HardIndex());
    ShowIndex(soft_, panel.SoftIndex());
    ShowIndex(preset_, panel.presetMode);
    ShowIndex(coincidence_, panel.coincidenceMode);
    ShowCheck(autoUpdate_, session_.link.AutoUpdate());
    ShowCheck(pulser_, panel.pulserOn);
}

void CAcquisitionView::ShowTexts() {
    const AcquisitionPanel& panel = session_.acquisition;
    ShowNumber(presetSeconds_, panel.presetSeconds);
    Show(startText_, panel.startText);
    Show(startLabel_, panel.startLabel);
    Show(real_, Format("%10.2f", panel.realTime));
    Show(live_, Format("%10.2f", panel.liveTime));
    Show(dead_, Format("%3.1f", panel.deadPercent));
}

void CAcquisitionView::ShowTimings() {
    const AcquisitionPanel& panel = session_.acquisition;
    for (int which = 0; which < 3; ++which) {
        Timing& t = timings_[which];
        ShowNumber(t.samples, panel.timing[which]);
        Show(t.us, panel.TimingUsText(static_cast<AcquisitionPanel::Timing>(which)));
        const bool enabled = which == AcquisitionPanel::kPeakDelay || panel.SrcAndWidthEnabled();
        t.samples->setEnabled(enabled);
        t.spin->setEnabled(enabled);
    }
}

void CAcquisitionView::ShowCondition() {
    const AcquisitionPanel& panel = session_.acquisition;
    const PlatformLayout& layout = session_.identity.Layout();
    Condition& c = condition_;
    Show(c.detectorLabel, layout.temperatureLabel);
    Show(c.detector, panel.DetectorText());
    Show(c.internalTemp, std::to_string(panel.condition.internalTemperature));
    Show(c.bias, std::to_string(panel.condition.bias));
    if (c.cooling->value() != panel.condition.coolingPercent)
        c.cooling->setValue(panel.condition.coolingPercent);
    for (QWidget* w :
         {static_cast<QWidget*>(c.biasLabel), static_cast<QWidget*>(c.bias),
          static_cast<QWidget*>(c.coolingLabel), static_cast<QWidget*>(c.cooling), c.coolingScale})
        w->setVisible(layout.biasAndCoolingShown);
}

void CAcquisitionView::ShowLogger() {
    const SpectrumLogger& logger = session_.logger;
    ShowNumber(logger_.runs, logger.runs);
    Show(logger_.completed, std::to_string(logger.completed));
    Show(logger_.folder, logger.folder);
    if (logger_.base->text().toStdString() != logger.base)
        logger_.base->setText(QString::fromStdString(logger.base));
    ShowCheck(logger_.enable, logger.enabled);
}

void CAcquisitionView::ShowEnables() {
    const ShellCommands& commands = session_.commands;
    start_->setEnabled(commands.Enabled(Command::PanelStart));
    stop_->setEnabled(commands.Enabled(Command::PanelStop));
    timeStamp_->setEnabled(commands.Enabled(Command::PanelTimeStamp));
}

} // namespace orvane
