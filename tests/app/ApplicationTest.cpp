#include "app/Application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

using namespace tavik;
namespace fs = std::filesystem;

namespace {
struct Host : CShellHost {
    std::vector<std::string> calls;
    bool commandLineOk = true;
    CApplication* app = nullptr;
    void LoadRecentFiles(int count) override { calls.push_back("recent " + std::to_string(count)); }
    void CreateListeningWindow(const std::string& title) override { calls.push_back(title); }
    void CreateMainWindow() override {
        calls.push_back("main window, roots " + std::to_string(app->Tree().RootCount()));
    }
    void OpenDatabase(const std::string& path) override {
        calls.push_back("database " + path + ", sectors per line " +
                        std::to_string(app->Options().sectorsPerLine));
    }
    bool ProcessCommandLine() override {
        calls.push_back("command line, log " + std::to_string(app->Log().Enabled()));
        return commandLineOk;
    }
};

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(path.string(), bytes);
    return bytes;
}
}  // namespace

TEST(Application, StartsInTheFixedOrder) {
    const fs::path dir = test::TempFolder();
    ASSERT_TRUE(WriteWholeFile((dir / "TAVIKlog.txt").string(), {}));
    {
        test::CScriptedPrompt prompt;
        CApplication first(prompt, dir.string());
        first.Tree().CreateRoots();
        first.Options().sectorsPerLine = 20;
        first.Options().databasePath = "cat.db";
        ASSERT_EQ(first.Workspace().SaveWorkspace(), 1);
    }
    test::CScriptedPrompt prompt;
    CApplication app(prompt, dir.string());
    Host host;
    host.app = &app;
    ASSERT_TRUE(app.Startup(host));
    EXPECT_EQ(host.calls, (std::vector<std::string>{
                              "recent 4", "TAVIK listening", "main window, roots 0",
                              "database cat.db, sectors per line 20", "command line, log 0"}));
    EXPECT_EQ(app.Tree().RootCount(), 4);
    EXPECT_TRUE(app.Log().Enabled());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(app.WorkspaceDialogFolder(), dir.string());
}

TEST(Application, NoDatabaseOrLogWhenNotAsked) {
    const fs::path dir = test::TempFolder();
    test::CScriptedPrompt prompt;
    CApplication app(prompt, dir.string());
    app.Options().databasePath.clear();  // no workspace: the defaults stay, path cleared
    Host host;
    host.app = &app;
    host.commandLineOk = false;
    EXPECT_FALSE(app.Startup(host));
    EXPECT_EQ(host.calls.size(), 4u);
    EXPECT_EQ(host.calls.back(), "command line, log 0");
    EXPECT_FALSE(app.Log().Enabled());
    EXPECT_TRUE(prompt.messages.empty());  // a missing default workspace is no error
}

TEST(Application, ExitSavesAsSaveOnExitSays) {
    const struct {
        int32_t saveOnExit;
        PromptAnswer answer;
        bool saved;
        size_t questions;
    } rows[] = {{SaveAlways, PromptAnswer::No, true, 0},
                {SaveNever, PromptAnswer::Yes, false, 0},
                {SaveAskMe, PromptAnswer::No, false, 1},
                {SaveAskMe, PromptAnswer::Yes, true, 1}};
    for (const auto& row : rows) {
        const fs::path dir = test::TempFolder();
        const fs::path workspace = dir / "Workspace.TVK";
        ASSERT_TRUE(WriteWholeFile(workspace.string(), {'o', 'l', 'd'}));
        test::CScriptedPrompt prompt;
        prompt.defaultAnswer = row.answer;
        CApplication app(prompt, dir.string());
        app.Tree().CreateRoots();
        app.Options().saveOnExit = row.saveOnExit;
        app.ExitCommand();
        EXPECT_EQ(FileBytes(workspace).size() != 3, row.saved) << row.saveOnExit;
        ASSERT_EQ(prompt.questions.size(), row.questions);
        if (row.questions) {
            EXPECT_EQ(prompt.questions[0], "Save workspace?");
        }
    }
}
