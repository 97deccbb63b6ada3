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

class CProgress;

class CUserPrompt {
public:
    virtual ~CUserPrompt() = default;

    virtual void Message(const std::string& text, PromptIcon icon = PromptIcon::Information) = 0;
    virtual PromptAnswer Ask(const std::string& text, PromptButtons buttons) = 0;
    // True while the key is held down (for F4: also while a progress dialog's Cancel is pressed).
    virtual bool KeyHeld(PolledKey key) = 0;
    // What an operation achieved ("Exported 3 files to ..."); the desktop program shows it in
    // its status bar.
    virtual void Status(const std::string& /*text*/) {}

protected:
    friend class CProgress;
    // How far the open progress scopes got (see CProgress, the only caller): one line per
    // level, `done` of `total` over all of them (total 0: not known).
    virtual void ShowProgress(const std::string& /*what*/, int /*done*/, int /*total*/) {}
    // The outermost scope has ended: whatever showed progress goes, with any Cancel pressed in it.
    virtual void EndProgress() {}
    // A prompt that hands everything on to another one hands on progress too.
    static void ShowProgressOn(CUserPrompt& to, const std::string& what, int done, int total) {
        to.ShowProgress(what, done, total);
    }
    static void EndProgressOn(CUserPrompt& to) { to.EndProgress(); }

private:
    CProgress* m_progress = nullptr;  // the innermost open scope
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
