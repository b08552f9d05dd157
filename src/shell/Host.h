#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvane {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Answers keep the numeric values of the classic message-box results.
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// The program's own modal dialogs that the core asks for.
enum class DialogKind { TimeStamp };
// A file chooser: which files it offers and how it asks.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    // The file types offered, first one selected: "Orvane Spectrum (*.qxs)", "All Files (*)".
    std::vector<std::string> filters;
    // Without the dot; the chooser may add it, the caller adds it again when it is missing.
    std::string defaultExtension;
    // Where the chooser starts: a remembered path, or empty.
    std::string initialPath;
};

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
    // A file chooser; the chosen path, or nothing when it was cancelled. The chooser never asks about
    // overwriting itself: the caller asks.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& /*request*/) {
        return std::nullopt;
    }
    // The "Spectrum Tag" dialog (at most 100 characters), pre-filled; the entered text, or nothing when
    // it was cancelled.
    virtual std::optional<std::string> AskSpectrumTag(const std::string& /*initial*/) { return std::nullopt; }
};

} // namespace orvane
