#pragma once

#include "shell/Host.h"

#include <QWidget>

#include <functional>
#include <map>

namespace orvane {

// The Host of the window: Qt message boxes and folder choosers over the main window, and the program's
// own dialogs as the shell registers them.
class QtHost : public Host {
public:
    explicit QtHost(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }
    void SetDialog(DialogKind kind, std::function<void()> run) { dialogs_[kind] = std::move(run); }

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;
    void RunDialog(DialogKind kind) override;
    bool ChooseFolder(const std::string& title, const std::string& start, std::string& chosen) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
    std::optional<std::string> AskSpectrumTag(const std::string& initial) override;

private:
    QWidget* parent_;
    std::map<DialogKind, std::function<void()>> dialogs_;
};

} // namespace orvane
