#include "UserPrompt.h"

namespace tavik {

PromptAnswer CSilentPrompt::Ask(const std::string&, PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
        case PromptButtons::OkCancel:
            return PromptAnswer::Ok;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoCancel:
            return PromptAnswer::Yes;
    }
    return PromptAnswer::Ok;
}

CUserPrompt& SilentPrompt() {
    static CSilentPrompt prompt;
    return prompt;
}

bool AbortRequested(CUserPrompt& prompt, const std::string& question) {
    if (!prompt.KeyHeld(PolledKey::F4)) return false;
    return prompt.Ask(question, PromptButtons::YesNo) == PromptAnswer::Yes;
}

}  // namespace tavik
