// tavik: the desktop disk manager. Arguments are disk-image files to mount under "PC".
#include <QApplication>

#include "app/Application.h"
#include "app/gui/MainFrame.h"
#include "app/gui/Shell.h"
#include "qt/QtUserPrompt.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName("TAVIK");
    QApplication::setOrganizationName("TAVIK");
    QApplication::setApplicationVersion("2.3");

    tavik::CQtUserPrompt prompt;
    tavik::CApplication app(prompt);
    QStringList images = QApplication::arguments();
    images.removeFirst();
    tavik::CShell shell(app, prompt, images);
    if (!app.Startup(shell)) return 1;
    shell.Frame()->show();
    const int result = QApplication::exec();
    app.EndOfRun();
    return result;
}
