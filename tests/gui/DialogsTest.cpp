// The dialogs of drives, disks and file names: their presets, their read-back and the checks
// that keep them open.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ScriptedPrompt.h"
#include "disk/dialogs/CopyModeDialog.h"
#include "disk/dialogs/DiskPropertiesDialog.h"
#include "disk/dialogs/DrivePropertiesDialog.h"
#include "exchange/dialogs/FileNameDialog.h"
#include "views/DriveCommands.h"

namespace tavik {
namespace {

QCheckBox* Box(QDialog& d, const QString& text) {
    for (QCheckBox* b : d.findChildren<QCheckBox*>())
        if (b->text() == text) return b;
    return nullptr;
}

TEST(DrivePropertiesDialogTest, CfEntrySwitchesBackToDoadWithTheCfSize) {
    CDrivePropertiesDialog dialog(CDrivePropertiesDialog::Mode::PcFile);
    EXPECT_EQ(dialog.windowTitle(), "Drive properties");
    QComboBox* format = dialog.FormatBox();
    ASSERT_EQ(format->count(), 4);
    EXPECT_EQ(format->itemText(1), "PC file PC99 format");
    EXPECT_EQ(format->itemText(3), "PC file HFE format");
    format->setCurrentIndex(2);
    emit format->activated(2);
    const DrivePropertiesForm f = dialog.Form();
    EXPECT_EQ(format->currentIndex(), 0);
    EXPECT_EQ(f.format, FormatDoad);
    EXPECT_EQ(f.size, "0x64000");
    EXPECT_TRUE(f.doubleSided);
    EXPECT_TRUE(f.doubleDensity);
}

TEST(DrivePropertiesDialogTest, RemoteAndEmulatorDrivesShowTheirOwnLabels) {
    CDrivePropertiesDialog remote(CDrivePropertiesDialog::Mode::Remote);
    EXPECT_EQ(remote.FormatBox()->itemText(0), "Remote DSKn drive");
    CDrivePropertiesDialog emulated(CDrivePropertiesDialog::Mode::Emulator);
    EXPECT_EQ(emulated.FormatBox()->itemText(0), "Zantu emulated drive");
}

class DiskDialog : public testing::Test {
protected:
    DiskDialog() : dialog(prompt) {
        DiskProperties r;
        const char name[] = "WORK      ";
        std::copy(name, name + 10, r.name.begin());
        r.totalSectors = 720;
        r.sectorsPerTrack = 9;
        r.tracksPerSide = 40;
        r.sides = 2;
        r.density = 1;
        r.freeSectors = 700;
        r.files = 3;
        dialog.SetRecord(r);
    }
    test::CScriptedPrompt prompt;
    CDiskPropertiesDialog dialog;
};

TEST_F(DiskDialog, ShowsTheRecordAndTheSizeButtonFollowsSidesAndDensity) {
    const DiskPropertiesForm f = dialog.Form();
    EXPECT_EQ(f.name, "WORK");
    EXPECT_EQ(f.sectors, "720");
    EXPECT_TRUE(f.doubleSided);
    EXPECT_FALSE(f.doubleDensity);
    EXPECT_EQ(f.creationDate, "");
    QPushButton* size = nullptr;
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == "Size") size = b;
    ASSERT_NE(size, nullptr);
    Box(dialog, "Double density")->setChecked(true);
    size->click();
    EXPECT_EQ(dialog.Form().sectors, "1440");
    Box(dialog, "Double-sided")->setChecked(false);
    Box(dialog, "Double density")->setChecked(false);
    size->click();
    EXPECT_EQ(dialog.Form().sectors, "360");
}

TEST_F(DiskDialog, AnInvalidEntryShowsItsMessageAndKeepsTheDialogOpen) {
    dialog.show();
    DiskPropertiesForm f = dialog.Form();
    f.name = "  ";
    dialog.SetForm(f);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    f.name = "WORK";
    f.creationDate = "1/2";
    dialog.SetForm(f);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    f.creationDate = "";
    f.sectors = "many";
    dialog.SetForm(f);
    dialog.accept();
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{"Invalid disk name", "Invalid creation date (dd/mm/yy)",
                                        "Invalid number: size"}));
    EXPECT_TRUE(dialog.isVisible());
    f.sectors = "0x2D0";
    dialog.SetForm(f);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SmallDialogs, CopyModeFileNameAndCheckMessage) {
    CCopyModeDialog modes;
    EXPECT_EQ(modes.windowTitle(), "Select disk copy mode");
    EXPECT_EQ(modes.findChildren<QRadioButton*>().size(), 4);
    EXPECT_EQ(modes.Mode(), 0);
    modes.findChildren<QRadioButton*>().value(2)->setChecked(true);
    EXPECT_EQ(modes.Mode(), CopyFilesAndVib);

    CFileNameDialog ask(0);
    EXPECT_EQ(ask.windowTitle(), "Enter filename, optionally type");
    EXPECT_EQ(ask.Type(), "Any");
    for (QCheckBox* b : ask.findChildren<QCheckBox*>())
        EXPECT_TRUE(b->isHidden());
    CFileNameDialog confirm(1);
    EXPECT_EQ(confirm.windowTitle(), "Confirm filename and type");
    confirm.SetType("DV80");
    EXPECT_EQ(confirm.Type(), "DV80");
    for (QCheckBox* b : confirm.findChildren<QCheckBox*>())
        EXPECT_FALSE(b->isHidden());

    EXPECT_EQ(CDriveCommands::CheckMessage(""), "No problems found");
    EXPECT_EQ(CDriveCommands::CheckMessage("Disk is odd\r\n"), "Disk is odd\r\n");
}

}  // namespace
}  // namespace tavik
