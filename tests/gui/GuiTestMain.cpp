// The GUI tests run on Qt's offscreen platform with their own QApplication.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "qt/DialogRunner.h"

namespace {

// A test's dialog answers end with the test.
class CForgetAnswers : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override { tavik::ClearAnswers(); }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Every program a test starts listens for the emulator in a folder of this run, never in
    // the user's runtime folder.
    char channelFolder[] = "/tmp/tavik-gui-tests-XXXXXX";
    const bool ownFolder = !std::getenv("TAVIK_CHANNEL_FOLDER") && mkdtemp(channelFolder);
    if (ownFolder) setenv("TAVIK_CHANNEL_FOLDER", channelFolder, 1);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("TAVIK-tests");
    QApplication::setApplicationName("TAVIK-tests");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new CForgetAnswers);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    if (ownFolder) std::filesystem::remove_all(channelFolder, ignored);
    return result;
}
