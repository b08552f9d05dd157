#pragma once

#include "shell/Host.h"

#include <optional>
#include <ostream>
#include <string>

namespace orvane {

// The host of a command-line subcommand: a message box becomes a line on standard error ("orvane info:
// Error: Unable to Open File"); questions get the answer the command line gave (--force answers OK and
// Yes, otherwise Cancel and No), never a prompt. A file chooser answers with the name the command line
// gave, when it gave one.
class CliHost : public Host {
public:
    CliHost(std::string program, std::ostream& err, bool agree = false)
        : program_(std::move(program)), err_(err), agree_(agree) {}

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;

    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;

    void AnswerFileChooser(std::string path) { chosenFile_ = std::move(path); }
    int Messages() const { return messages_; }

private:
    std::string program_;
    std::ostream& err_;
    bool agree_;
    std::optional<std::string> chosenFile_;
    int messages_ = 0;
};

} // namespace orvane
