#pragma once

#include <string>

namespace orvane {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Answers keep the numeric values of the classic message-box results.
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// The program's own modal dialogs that the core asks for.
enum class DialogKind { TimeStamp };

// What reaches the user: every modal question goes through here, so tests answer it without blocking.
class Host {
public:
    virtual ~Host() = default;

    virtual int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) = 0;

    // Runs one of the program's dialogs modally; returns when it is closed.
    virtual void RunDialog(DialogKind) {}

    // A folder chooser; false when the user cancelled.
    virtual bool ChooseFolder(const std::string& title, const std::string& start, std::string& chosen) {
        (void)title;
        (void)start;
        (void)chosen;
        return false;
    }
};

} // namespace orvane
