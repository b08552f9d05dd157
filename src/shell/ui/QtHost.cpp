#include "shell/ui/QtHost.h"

#include "spectrum/ui/CDialogTag.h"

#include <QFileDialog>
#include <QMessageBox>

namespace orvane {

int QtHost::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                       MessageButtons buttons) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return kAnswerOk;
    case QMessageBox::Yes:
        return kAnswerYes;
    case QMessageBox::No:
        return kAnswerNo;
    default:
        return kAnswerCancel;
    }
}

void QtHost::RunDialog(DialogKind kind) {
    const auto it = dialogs_.find(kind);
    if (it != dialogs_.end() && it->second)
        it->second();
}

bool QtHost::ChooseFolder(const std::string& title, const std::string& start, std::string& chosen) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent_, QString::fromStdString(title), QString::fromStdString(start), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return false;
    chosen = folder.toStdString();
    return true;
}

std::optional<std::string> QtHost::ChooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, QString::fromStdString(request.title),
                       QString::fromStdString(request.initialPath));
    QStringList filters;
    for (const std::string& filter : request.filters)
        filters << QString::fromStdString(filter);
    dialog.setNameFilters(filters);
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (request.mode == FileDialogRequest::Mode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtHost::AskSpectrumTag(const std::string& initial) {
    CDialogTag dialog(QString::fromStdString(initial), parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Tag().toStdString();
}

} // namespace orvane
