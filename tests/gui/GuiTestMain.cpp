// The GUI tests run on Qt's offscreen platform with their own QApplication.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Every program a test starts listens for the emulator in a folder of this run, never in
    // the user's runtime folder.
    char channelFolder[] = "/tmp/tavik-gui-tests-XXXXXX";
    if (!std::getenv("TAVIK_CHANNEL_FOLDER") && mkdtemp(channelFolder))
        setenv("TAVIK_CHANNEL_FOLDER", channelFolder, 1);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("TAVIK-tests");
    QApplication::setApplicationName("TAVIK-tests");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
