#include "cli/CliHost.h"

namespace orvane {

int CliHost::MessageBox(const std::string& text, const std::string& caption, MessageIcon,
                        MessageButtons buttons) {
    ++messages_;
    err_ << program_ << ": " << (caption.empty() ? "" : caption + ": ") << text << "\n";
    switch (buttons) {
    case MessageButtons::Ok:
        return kAnswerOk;
    case MessageButtons::OkCancel:
        return agree_ ? kAnswerOk : kAnswerCancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return agree_ ? kAnswerYes : kAnswerNo;
    }
    return kAnswerCancel;
}

std::optional<std::string> CliHost::ChooseFile(const FileDialogRequest&) {
    return chosenFile_;
}

} // namespace orvane
