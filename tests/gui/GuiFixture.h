// Shared pieces of the GUI tests: disk images written to a temporary folder, and a whole
// program (application object, shell, main window) started on them.
#pragma once

#include <QFile>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "ScriptedPrompt.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/gui/MainFrame.h"
#include "app/gui/Shell.h"
#include "qt/QtUserPrompt.h"

namespace tavik::test {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// A formatted image named `name` with a few files, written to folder/file.
inline std::string WriteImage(const std::string& folder, const std::string& file,
                              const std::string& name, int files = 2) {
    CImageBuilder image;
    image.SetName(name);
    for (int i = 0; i < files; ++i)
        image.AddFile(BuiltFile::Program("FILE" + std::to_string(i), std::vector<uint8_t>(300, 1)));
    const std::string path = folder + "/" + file;
    WriteBytes(path, image.Image());
    return path;
}

// The desktop prompt with its message boxes answered by script (they would wait for a user).
class CAnsweringPrompt : public CQtUserPrompt {
public:
    std::deque<PromptAnswer> answers;
    PromptAnswer defaultAnswer = PromptAnswer::Yes;
    std::vector<std::string> messages;
    std::vector<std::string> questions;

    void Message(const std::string& text, PromptIcon) override { messages.push_back(text); }
    PromptAnswer Ask(const std::string& text, PromptButtons) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A program run in a folder of its own: the working directory is that folder, so the default
// workspace is written there.
class CProgram {
public:
    explicit CProgram(const std::string& folder, QStringList images = {},
                      const QString& recentScope = "gui-tests")
        : m_app(m_prompt, folder),
          m_shell(m_app, m_prompt, std::move(images), CRecentFiles("TAVIK-tests", recentScope)) {
        CRecentFiles("TAVIK-tests", recentScope).Save();  // nothing left from an earlier run
        m_started = m_app.Startup(m_shell);
    }

    bool Started() const { return m_started; }
    CApplication& App() { return m_app; }
    CMainFrame& Frame() { return *m_shell.Frame(); }
    CAnsweringPrompt& Prompt() { return m_prompt; }

private:
    CAnsweringPrompt m_prompt;
    CApplication m_app;
    CShell m_shell;
    bool m_started = false;
};

}  // namespace tavik::test
