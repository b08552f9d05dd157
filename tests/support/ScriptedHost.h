#pragma once

#include "shell/Host.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace orvane::test {

// A host whose user answers from a script: message boxes are recorded and answered with the next queued
// answer (OK when none is queued); file choosers and the tag dialog return what the test set.
class ScriptedHost : public Host {
public:
    struct Message {
        std::string text, caption;
        MessageIcon icon;
        MessageButtons buttons;
    };

    int MessageBox(const std::string& text, const std::string& caption, MessageIcon icon,
                   MessageButtons buttons) override {
        messages.push_back({text, caption, icon, buttons});
        if (answers.empty())
            return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return chosenFile;
    }

    std::optional<std::string> AskSpectrumTag(const std::string& initial) override {
        tagInitials.push_back(initial);
        return tagAnswer;
    }

    // Texts of the messages shown so far.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& m : messages)
            texts.push_back(m.text);
        return texts;
    }

    std::vector<Message> messages;
    std::deque<int> answers;
    std::vector<FileDialogRequest> fileRequests;
    std::optional<std::string> chosenFile;
    std::vector<std::string> tagInitials;
    std::optional<std::string> tagAnswer;
};

} // namespace orvane::test
