// Shared pieces of the GUI tests: disk images written to a temporary folder, and a whole
// program (application object, shell, main window) started on them.
#pragma once

#include <QAbstractItemModelTester>
#include <QFile>
#include <algorithm>
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
#include "views/CatalogModel.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/RecordListModel.h"

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

// The names in the first column of the catalog list, without trailing blanks.
inline std::vector<std::string> ListNames(CDiskView& list) {
    std::vector<std::string> names;
    for (int r = 0; r < list.model()->rowCount(); ++r)
        names.push_back(list.model()->index(r, 0).data().toString().trimmed().toStdString());
    return names;
}

// Selects the catalog list's rows whose names are given (and nothing else).
inline void SelectListNames(CDiskView& list, const std::vector<std::string>& wanted) {
    list.clearSelection();
    const std::vector<std::string> names = ListNames(list);
    for (int r = 0; r < static_cast<int>(names.size()); ++r)
        if (std::find(wanted.begin(), wanted.end(), names[static_cast<size_t>(r)]) != wanted.end())
            list.selectionModel()->select(list.model()->index(r, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// The desktop prompt with its message boxes answered by script (they would wait for a user).
class CAnsweringPrompt : public CQtUserPrompt {
public:
    std::deque<PromptAnswer> answers;
    PromptAnswer defaultAnswer = PromptAnswer::Yes;
    std::vector<std::string> messages;
    std::vector<QWidget*> messageOwners;  // the window each message would have shown over
    std::vector<std::string> questions;
    std::vector<std::string> progressTexts;  // each text the progress dialog was given

    void Message(const std::string& text, PromptIcon) override {
        messages.push_back(text);
        messageOwners.push_back(ParentWidget());
    }
    PromptAnswer Ask(const std::string& text, PromptButtons) override {
        questions.push_back(text);
        if (answers.empty()) return defaultAnswer;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

protected:
    void ShowProgress(const std::string& what, int done, int total) override {
        if (progressTexts.empty() || progressTexts.back() != what) progressTexts.push_back(what);
        CQtUserPrompt::ShowProgress(what, done, total);
    }
};

// A program run in a folder of its own: the working directory is that folder, so the default
// workspace is written there. Every item model of the window runs under Qt's model tester, which
// stops the test at the first broken rule of the model contract.
class CProgram {
public:
    explicit CProgram(const std::string& folder, QStringList images = {},
                      const QString& recentScope = "gui-tests")
        : m_app(m_prompt, folder),
          m_shell(m_app, m_prompt, std::move(images), CRecentFiles("TAVIK-tests", recentScope)) {
        CRecentFiles("TAVIK-tests", recentScope).Save();  // nothing left from an earlier run
        m_started = m_app.Startup(m_shell);
        if (!m_shell.Frame()) return;
        CDiskView& list = *Frame().DiskView();
        const std::vector<QAbstractItemModel*> models = {Frame().DriveView()->model(), list.Model(),
                                                         list.RecordModel()};
        for (QAbstractItemModel* model : models)
            m_testers.push_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::Fatal));
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
    std::vector<std::unique_ptr<QAbstractItemModelTester>> m_testers;
};

}  // namespace tavik::test
