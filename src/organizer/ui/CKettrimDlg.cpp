#include "organizer/ui/CKettrimDlg.h"

#include "organizer/IncrementEntry.h"
#include "organizer/LogSequenceConversion.h"
#include "organizer/ui/CAboutDlg.h"
#include "organizer/ui/CProgressList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace kettrim {
namespace {

const QString kCaption = QStringLiteral("Kettrim");

QLineEdit* ReadOnlyBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setObjectName(QLatin1String(name));
    return box;
}

QComboBox* List(QWidget* parent, const char* name, const QStringList& entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(entries);
    return list;
}

QPushButton* Button(QWidget* parent, const QString& text, const char* name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CKettrimDlg::CKettrimDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Orvane Spectrum Log Organizer"));
    chooseFile_ = [this](const FileChoice& choice) { return ChooseWithFileDialog(this, choice); };
    showMessage_ = [this](const QString& text, const QString& caption, QMessageBox::Icon icon) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };
    BuildControls();
    BuildWindowMenu();
    organizer_.CountFilesToProcess();
    WriteControls();
}

CKettrimDlg::~CKettrimDlg() = default;

void CKettrimDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFileSet());
    layout->addWidget(BuildOutput());
    progress_ = new CProgressList(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setMinimumHeight(progress_->fontMetrics().height() * 12);
    layout->addWidget(progress_, 1);

    auto* buttons = new QHBoxLayout;
    go_ = Button(this, QStringLiteral("GO"), "go");
    exit_ = Button(this, QStringLiteral("EXIT"), "exit");
    buttons->addStretch(1);
    buttons->addWidget(go_);
    buttons->addWidget(exit_);
    layout->addLayout(buttons);
    connect(go_, &QPushButton::clicked, this, &CKettrimDlg::OnGo);
    connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
    inputs_ << go_ << exit_;
    resize(640, 620);
}

QWidget* CKettrimDlg::BuildFileSet() {
    auto* group = new QGroupBox(QStringLiteral("FILE SET"), this);
    auto* grid = new QGridLayout(group);
    firstFolder_ = ReadOnlyBox(group, "firstFolder");
    lastFolder_ = ReadOnlyBox(group, "lastFolder");
    firstFile_ = new QLineEdit(group);
    firstFile_->setObjectName(QStringLiteral("firstFile"));
    lastFile_ = new QLineEdit(group);
    lastFile_->setObjectName(QStringLiteral("lastFile"));
    auto* firstBrowse = Button(group, QStringLiteral("Browse"), "firstBrowse");
    auto* lastBrowse = Button(group, QStringLiteral("Browse"), "lastBrowse");
    increment_ = new QLineEdit(QStringLiteral("1"), group);
    increment_->setObjectName(QStringLiteral("increment"));
    // A numeric box: digits only, as typed; the range is checked on every change.
    increment_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), increment_));
    filesToProcess_ = ReadOnlyBox(group, "filesToProcess");

    grid->addWidget(new QLabel(QStringLiteral("Folder"), group), 0, 0);
    grid->addWidget(firstFolder_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("First File"), group), 1, 0);
    grid->addWidget(firstFile_, 1, 1);
    grid->addWidget(firstBrowse, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Folder"), group), 2, 0);
    grid->addWidget(lastFolder_, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Last File"), group), 3, 0);
    grid->addWidget(lastFile_, 3, 1);
    grid->addWidget(lastBrowse, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("File Counter Increment"), group), 4, 0);
    grid->addWidget(increment_, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Files To Process"), group), 5, 0);
    grid->addWidget(filesToProcess_, 5, 1);

    connect(firstBrowse, &QPushButton::clicked, this, [this] { Browse(true); });
    connect(lastBrowse, &QPushButton::clicked, this, [this] { Browse(false); });
    connect(increment_, &QLineEdit::textEdited, this, &CKettrimDlg::OnIncrementEdited);
    inputs_ << firstFile_ << lastFile_ << firstBrowse << lastBrowse << increment_;
    return group;
}

QWidget* CKettrimDlg::BuildOutput() {
    auto* group = new QGroupBox(QStringLiteral("OUTPUT"), this);
    auto* grid = new QGridLayout(group);
    // The entries end with a blank, as they always have; only their index is read.
    fileFormat_ = List(group, "fileFormat", {QStringLiteral("Comma Separated (CSV) ")});
    organization_ = List(group, "organization",
                         {QStringLiteral("TABLE-SINGLE FILE "), QStringLiteral("INDIVIDUAL_FILES ")});
    spectrumSize_ = List(group, "spectrumSize", {});
    columnLabels_ =
        List(group, "columnLabels",
             {QStringLiteral("FILE NAME "), QStringLiteral("FILE NUMBER "), QStringLiteral("TIME STAMP "),
              QStringLiteral("ELAPSED TIME[s] "), QStringLiteral("NONE ")});
    channelColumn_ = new QCheckBox(QStringLiteral("Include Channel Number Column"), group);
    channelColumn_->setObjectName(QStringLiteral("channelColumn"));

    const std::pair<const char*, QWidget*> rows[] = {{"File Format", fileFormat_},
                                                     {"Organization", organization_},
                                                     {"Spectrum Size", spectrumSize_},
                                                     {"Column Labels", columnLabels_}};
    int row = 0;
    for (const auto& [label, control] : rows) {
        grid->addWidget(new QLabel(QLatin1String(label), group), row, 0);
        grid->addWidget(control, row++, 1);
        inputs_ << control;
    }
    grid->addWidget(channelColumn_, row, 0, 1, 2);
    inputs_ << channelColumn_;
    return group;
}

void CKettrimDlg::BuildWindowMenu() {
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);
    QMenu* menu = bar->addMenu(QStringLiteral("&Window"));
    QAction* close = menu->addAction(QStringLiteral("&Close"));
    connect(close, &QAction::triggered, this, &QDialog::reject);
    menu->addSeparator();
    QAction* about = menu->addAction(QStringLiteral("&About Kettrim..."));
    connect(about, &QAction::triggered, this, &CKettrimDlg::ShowAbout);
    layout()->setMenuBar(bar);
    menuActions_ << close << about;
}

bool CKettrimDlg::ReadControls() {
    ConversionSettings& settings = organizer_.Settings();
    settings.organization = static_cast<Organization>(organization_->currentIndex());
    settings.label = static_cast<LabelKind>(columnLabels_->currentIndex());
    settings.channelColumn = channelColumn_->isChecked();
    organizer_.SizeList().Select(spectrumSize_->currentIndex());

    const IncrementEntry increment = IncrementEntry::Read(increment_->text().toStdString());
    if (increment.status != IncrementEntry::Status::NotAnInteger)
        settings.increment = increment.value;
    if (increment.status == IncrementEntry::Status::Valid)
        return true;
    showMessage_(QString::fromStdString(increment.Message()), kCaption, QMessageBox::Warning);
    increment_->setFocus();
    return false;
}

void CKettrimDlg::WriteControls() {
    const ConversionSettings& settings = organizer_.Settings();
    // An empty box stays empty while the user types; a number is shown as the state holds it.
    const QString increment = QString::number(settings.increment);
    if (IncrementEntry::Read(increment_->text().toStdString()).status !=
            IncrementEntry::Status::NotAnInteger &&
        increment_->text() != increment)
        increment_->setText(increment);
    filesToProcess_->setText(QString::number(organizer_.FilesToProcess()));

    const SpectrumSizeList& sizes = organizer_.SizeList();
    spectrumSize_->blockSignals(true);
    spectrumSize_->clear();
    for (const std::string& entry : sizes.Entries())
        spectrumSize_->addItem(QString::fromStdString(entry));
    spectrumSize_->setCurrentIndex(sizes.Selection());
    spectrumSize_->blockSignals(false);

    organization_->setCurrentIndex(static_cast<int>(settings.organization));
    columnLabels_->setCurrentIndex(static_cast<int>(settings.label));
    channelColumn_->setChecked(settings.channelColumn);
}

void CKettrimDlg::Browse(bool first) {
    ReadControls();
    const FileSetEntry& side = first ? organizer_.FirstFile() : organizer_.LastFile();
    const FileSetEntry& other = first ? organizer_.LastFile() : organizer_.FirstFile();
    QString directory = QFile::decodeName(!side.folder.empty() ? side.folder.c_str() : other.folder.c_str());
    if (directory.isEmpty() || !QDir(directory).exists())
        directory = QDir::homePath();
    const FileChoice choice{first ? QStringLiteral("Select First File") : QStringLiteral("Select Last File"),
                            QLatin1String(kFileFilter),
                            QStringLiteral("*.") + QString::fromStdString(organizer_.ExtensionChosenLast()),
                            directory};
    const QString path = chooseFile_(choice);
    if (path.isEmpty())
        return;

    // Paths are the file system's bytes; only their display is text.
    const std::string chosenPath = QFile::encodeName(path).toStdString();
    if (first)
        organizer_.ChooseFirstFile(chosenPath);
    else
        organizer_.ChooseLastFile(chosenPath);
    const FileSetEntry& chosen = first ? organizer_.FirstFile() : organizer_.LastFile();
    (first ? firstFolder_ : lastFolder_)->setText(QFile::decodeName(chosen.folder.c_str()));
    (first ? firstFile_ : lastFile_)->setText(QFile::decodeName(chosen.fileName.c_str()));
    organizer_.CountFilesToProcess();
    WriteControls();
}

void CKettrimDlg::OnIncrementEdited() {
    ReadControls();
    organizer_.CountFilesToProcess();
    WriteControls();
}

void CKettrimDlg::OnGo() {
    if (conversion_)
        return;
    ReadControls(); // a message about the increment does not stop the conversion
    SetConverting(true);
    conversion_ = organizer_.BeginConversion(*this);
    QTimer::singleShot(0, this, &CKettrimDlg::RunConversionStep);
}

void CKettrimDlg::RunConversionStep() {
    // One file (or one block of table rows) per turn of the event loop.
    if (conversion_->Step()) {
        QTimer::singleShot(0, this, &CKettrimDlg::RunConversionStep);
        return;
    }
    conversion_.reset();
    SetConverting(false);
    emit ConversionFinished();
}

void CKettrimDlg::SetConverting(bool converting) {
    for (QWidget* input : inputs_)
        input->setEnabled(!converting);
    for (QAction* action : menuActions_)
        action->setEnabled(!converting);
}

void CKettrimDlg::reject() {
    // Closing the window waits for the conversion: it is never left half done.
    if (!conversion_)
        QDialog::reject();
}

void CKettrimDlg::ShowAbout() {
    auto* about = new CAboutDlg(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void CKettrimDlg::AddProgressLine(const std::string& line) {
    progress_->AddProgressLine(QString::fromStdString(line));
}

void CKettrimDlg::ShowError(const std::string& text) {
    showMessage_(QString::fromStdString(text), QStringLiteral("Error"), QMessageBox::Critical);
}

QString CKettrimDlg::ChooseWithFileDialog(QWidget* parent, const FileChoice& choice) {
    QFileDialog dialog(parent, choice.title, choice.directory, choice.filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    // Open on the filter of the current type, with its pattern in the name box.
    const QStringList filters = choice.filter.split(QStringLiteral(";;"));
    for (const QString& filter : filters)
        if (filter.contains(QStringLiteral("(") + choice.initialName + QStringLiteral(")"),
                            Qt::CaseInsensitive))
            dialog.selectNameFilter(filter);
    dialog.selectFile(choice.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace kettrim
