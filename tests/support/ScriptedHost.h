#pragma once

#include "shell/Host.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace orvane::test {

// Records every message box and answers from a script (OK when the script is empty).
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

    std::vector<Box> boxes;
    std::deque<int> answers;
    std::vector<DialogKind> dialogs;
    std::function<void(DialogKind)> onDialog;
    std::vector<std::string> folderTitles;
    std::string folderAnswer;
};

} // namespace orvane::test
