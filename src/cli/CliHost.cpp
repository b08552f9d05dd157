#include "cli/CliHost.h"

namespace orvane {

int CliHost::MessageBox(const std::string& text, const std::string& caption, MessageIcon /*icon*/,
                        MessageButtons buttons) {
    ++messages_;
    err_ << program_ << ": " << (caption.empty() ? "" : caption + ": ") << text << "\n";
    return buttons == MessageButtons::Ok ? kAnswerOk : kAnswerCancel;
}

} // namespace orvane
