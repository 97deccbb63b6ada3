// A CUserPrompt that answers from a script and records what was shown.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "base/UserPrompt.h"

namespace tavik::test {

class CScriptedPrompt : public CUserPrompt {
public:
    // Answers given in order; when the script runs out, defaultAnswer is given.
    std::deque<PromptAnswer> answers;
    PromptAnswer defaultAnswer = PromptAnswer::Yes;
    // Keys reported as held; heldPolls counts down how many polls report F4 held (-1: always).
    std::set<PolledKey> held;
    int heldPolls = -1;

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    int polls = 0;
    // Progress as a front end shows it: up from its first step until its outermost scope ends.
    bool progressUp = false;
    std::string progressText;
    int progressDone = 0;
    int progressTotal = 0;

    void Message(const std::string& text, PromptIcon) override { messages.push_back(text); }
    PromptAnswer Ask(const std::string& text, PromptButtons) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool KeyHeld(PolledKey key) override {
        ++polls;
        if (!held.count(key)) return false;
        if (heldPolls == 0) return false;
        if (heldPolls > 0) --heldPolls;
        return true;
    }

protected:
    void ShowProgress(const std::string& what, int done, int total) override {
        progressUp = true;
        progressText = what;
        progressDone = done;
        progressTotal = total;
    }
    void EndProgress() override { progressUp = false; }
};

}  // namespace tavik::test
