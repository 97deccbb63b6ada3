// Opens the main window with images mounted, its context menus and dialogs, and renders each;
// with TAVIK_SHOTS set to a folder the renderings are saved there as PNG files to be looked at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTimer>

#include <QLineEdit>
#include <QTreeWidget>
#include "ImageBuilder.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/gui/MainFrame.h"
#include "app/gui/OptionsSheet.h"
#include "app/gui/Shell.h"
#include "disk/dialogs/DiskPropertiesDialog.h"
#include "disk/dialogs/DrivePropertiesDialog.h"
#include "disk/dialogs/FilePropertiesDialog.h"
#include "exchange/PcFileKind.h"
#include "exchange/PcName.h"
#include "exchange/TiFileChooser.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/QtUserPrompt.h"
#include "views/DriveView.h"

namespace tavik {
namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

void Save(QWidget& w, const QString& name) {
    const QByteArray folder = qgetenv("TAVIK_SHOTS");
    QPixmap shot = w.grab();
    EXPECT_FALSE(shot.isNull());
    if (!folder.isEmpty()) shot.save(QDir(QString::fromLocal8Bit(folder)).filePath(name + ".png"));
}

TEST(ScreenTour, MainWindowWithImagesAndDialogs) {
    const std::string folder = test::TempFolder();
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        test::CImageBuilder image(i == 2 ? 1440 : 360, i == 2, i == 2);
        image.SetName(i == 0 ? "GAMES" : i == 1 ? "UTILITIES" : "BIGDISK");
        image.AddFile(test::BuiltFile::Program("HELLO", std::vector<uint8_t>(700, 0x41)));
        image.AddFile(test::BuiltFile::Variable("README", false, 80, {"A line", "Another line"}));
        image.AddFile(test::BuiltFile::Fixed("DATA", true, 128, {"x", "y", "z"}));
        // The third as an HFE image, which the chooser lists beside the sector dumps.
        const std::string path = folder + "/disk" + std::to_string(i) + (i == 2 ? ".hfe" : ".dsk");
        WriteBytes(path, i == 2 ? image.HfeImage() : image.Image());
        paths.push_back(path);
    }
    CQtUserPrompt prompt;
    CApplication app(prompt, folder);
    CShell shell(app, prompt, {QString::fromStdString(paths[0]), QString::fromStdString(paths[1])},
                 CRecentFiles("TAVIK-tests", "tour"));
    ASSERT_TRUE(app.Startup(shell));
    CMainFrame& frame = *shell.Frame();
    frame.resize(1000, 640);
    frame.show();
    QApplication::processEvents();
    Save(frame, "main-window");

    frame.Execute(CommandId::ViewAdvanced);
    QApplication::processEvents();
    Save(frame, "main-window-advanced");

    COptionsSheet sheet(app.Options(), &frame);
    for (int page = 0; page < 4; ++page) {
        sheet.Pages()->setCurrentIndex(page);
        sheet.show();
        QApplication::processEvents();
        Save(sheet, QString("options-%1").arg(page));
    }
    sheet.reject();

    CDrivePropertiesDialog drive(CDrivePropertiesDialog::Mode::PcFile, &frame);
    drive.show();
    QApplication::processEvents();
    Save(drive, "drive-properties");

    CDiskPropertiesDialog disk(prompt, &frame);
    DiskProperties record;
    frame.DriveView()->CurrentDriveItem()->Drive()->GetDiskProperties(record);
    disk.SetRecord(record);
    disk.show();
    QApplication::processEvents();
    Save(disk, "disk-properties");

    CFilePropertiesDialog file(CFilePropertiesDialog::Properties, prompt, &frame);
    FileProperties fileRecord;
    frame.DriveView()->CurrentDriveItem()->Drive()->GetFileProperties(
        frame.DriveView()->CurrentDriveItem()->Drive()->FindFile("README"), fileRecord);
    file.SetForm(FormOfRecord(fileRecord));
    file.SetFdrSector(fileRecord.fdrSector);
    file.show();
    QApplication::processEvents();
    Save(file, "file-properties");
    CFilePropertiesDialog create(CFilePropertiesDialog::Create, prompt, &frame);
    create.SetForm(NewFileForm());
    create.show();
    QApplication::processEvents();
    Save(create, "create-file");

    CTiFileDialog chooser(ChooseMount, {}, folder, &frame);
    chooser.show();
    QApplication::processEvents();
    EXPECT_EQ(chooser.List()->topLevelItemCount(), 3);  // the three images
    Save(chooser, "chooser");
    CTiFileDialog exporter(ChooseExport, {}, folder, &frame);
    exporter.Propose(PcNameOf("READ/ME"), TifilesHeader);
    exporter.show();
    QApplication::processEvents();
    EXPECT_EQ(exporter.NameEdit()->text(), "READ%2FME");
    Save(exporter, "export-chooser");

    QMenu menu;
    QString title;
    for (const QString& e : CDriveView::ContextEntries(NodeKind::SectorImage, &title))
        e.isEmpty() ? (void)menu.addSeparator() : (void)menu.addAction(e);
    menu.show();
    QApplication::processEvents();
    Save(menu, "drive-context");
}

}  // namespace
}  // namespace tavik
