#include "app/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/PcFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

using namespace tavik;

TEST(LogFile, LogsNothingWithoutTheFileAtStart) {
    const std::string folder = test::TempFolder();
    CLogFile log;
    log.EnableIfPresent(folder);
    EXPECT_FALSE(log.Enabled());
    log.WriteLine("Read sector");
    EXPECT_TRUE(log.Buffer().empty());
    test::CScriptedPrompt prompt;
    EXPECT_TRUE(log.WriteFile(prompt));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder) / kLogFileName));
}

TEST(LogFile, ReplacesThePresentFileWithTheLinesAtTheEnd) {
    const std::string folder = test::TempFolder();
    const std::string path = (std::filesystem::path(folder) / kLogFileName).string();
    ASSERT_TRUE(WriteWholeFile(path, std::vector<uint8_t>(3000, 'o')));
    CLogFile log;
    log.EnableIfPresent(folder);
    ASSERT_TRUE(log.Enabled());
    log.WriteLine("Read sector");
    log.WriteLine("Error 6 IO#1.0");
    test::CScriptedPrompt prompt;
    EXPECT_TRUE(log.WriteFile(prompt));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Read sector\r\nError 6 IO#1.0\r\n");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(LogFile, ReportsAFileThatCannotBeWritten) {
    const std::string folder = test::TempFolder();
    const std::string path = (std::filesystem::path(folder) / kLogFileName).string();
    std::filesystem::create_directory(path);  // exists, but is no file that can be written
    CLogFile log;
    log.EnableIfPresent(folder);
    log.WriteLine("x");
    test::CScriptedPrompt prompt;
    EXPECT_FALSE(log.WriteFile(prompt));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "Could not open file " + path);
}
