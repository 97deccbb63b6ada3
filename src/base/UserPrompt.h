// The one seam between the core and whoever sits in front of it. The core never shows anything:
// every message, Yes/No question and key poll of a long loop goes through a CUserPrompt. The
// desktop program answers with message boxes and a progress dialog, the command-line tool with
// the terminal, and tests with scripted answers.
#pragma once

#include <string>

namespace tavik {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };
enum class PromptIcon { Information, Warning, Error, Question };
enum class PolledKey { F4, Escape, Insert };

class CUserPrompt {
public:
    virtual ~CUserPrompt() = default;

    virtual void Message(const std::string& text, PromptIcon icon = PromptIcon::Information) = 0;
    virtual PromptAnswer Ask(const std::string& text, PromptButtons buttons) = 0;
    // True while the key is held down (for F4: also while a progress dialog's Cancel is pressed).
    virtual bool KeyHeld(PolledKey key) = 0;
    // Long loops report how far they got; the desktop program shows it in a progress dialog.
    virtual void Progress(const std::string& /*what*/, int /*done*/, int /*total*/) {}
};

// Answers nothing and never aborts: the default for code that runs without a user.
class CSilentPrompt : public CUserPrompt {
public:
    void Message(const std::string&, PromptIcon) override {}
    PromptAnswer Ask(const std::string&, PromptButtons buttons) override;
    bool KeyHeld(PolledKey) override { return false; }
};

// The prompt used when a caller has not given one; never null.
CUserPrompt& SilentPrompt();

// The long loops' abort poll: when F4 is held, ask `question` (Yes/No); true means stop.
bool AbortRequested(CUserPrompt& prompt, const std::string& question);

}  // namespace tavik
