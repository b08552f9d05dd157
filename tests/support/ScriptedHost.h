#pragma once

#include "shell/Host.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane::test {

// A host whose user answers from a script: message boxes are recorded and answered with the next queued
// answer (OK when none is queued); dialogs run what the test set; file and folder choosers and the tag
// dialog return what the test set.
class ScriptedHost : public Host {
public:
    struct Box {
        std::string text, caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override {
        boxes.push_back(Box{text, caption, icon, buttons});
        if (answers.empty())
            return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Texts of the messages shown so far.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& b : boxes)
            texts.push_back(b.text);
        return texts;
    }

    void RunDialog(DialogKind kind) override {
        dialogs.push_back(kind);
        if (onDialog)
            onDialog(kind);
    }

    bool ChooseFolder(const std::string& title, const std::string& start, std::string& chosen) override {
        folderTitles.push_back(title + "|" + start);
        if (folderAnswer.empty())
            return false;
        chosen = folderAnswer;
        return true;
    }

    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return chosenFile;
    }

    std::optional<std::string> AskSpectrumTag(const std::string& initial) override {
        tagInitials.push_back(initial);
        return tagAnswer;
    }

    std::vector<Box> boxes;
    std::deque<int> answers;
    std::vector<DialogKind> dialogs;
    std::function<void(DialogKind)> onDialog;
    std::vector<std::string> folderTitles;
    std::string folderAnswer;
    std::vector<FileDialogRequest> fileRequests;
    std::optional<std::string> chosenFile;
    std::vector<std::string> tagInitials;
    std::optional<std::string> tagAnswer;
};

} // namespace orvane::test
