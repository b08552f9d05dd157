#pragma once

#include "shell/Host.h"

#include <ostream>

namespace orvane {

// Message boxes of a command-line run: the text goes to standard error; questions get the answer the
// command line gave (--force answers OK and Yes), never a prompt.
class CliHost : public Host {
public:
    CliHost(std::ostream& err, bool agree) : err_(err), agree_(agree) {}

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override;

private:
    std::ostream& err_;
    bool agree_;
};

} // namespace orvane
