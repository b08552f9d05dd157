#pragma once

#include "shell/Host.h"

#include <ostream>
#include <string>

namespace orvane {

// The host of a command-line subcommand: a message box becomes a line on standard error ("orvane info:
// Error: Unable to Open File"); questions get the answer the command line gave (--force answers OK and
// Yes, otherwise Cancel and No), never a prompt.
class CliHost : public Host {
public:
    CliHost(std::string program, std::ostream& err, bool agree = false)
        : program_(std::move(program)), err_(err), agree_(agree) {}

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;

    int Messages() const { return messages_; }

private:
    std::string program_;
    std::ostream& err_;
    bool agree_;
    int messages_ = 0;
};

} // namespace orvane
