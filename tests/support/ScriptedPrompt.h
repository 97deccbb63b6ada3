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
};

}  // namespace tavik::test
