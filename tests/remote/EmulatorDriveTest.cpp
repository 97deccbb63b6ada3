#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EmulatorPeer.h"
#include "base/PcFile.h"
#include "remote/DriveScan.h"
#include "remote/LocalSocketChannel.h"
#include "support/ImageBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

class EmulatorDrives : public ::testing::Test {
protected:
    EmulatorDrives() : folder(test::TempFolder()), channel(folder), peer(folder), source(channel) {
        test::CImageBuilder one;
        one.SetName("EMU1");
        one.AddFile(test::BuiltFile::Program("GAME", Bytes(2000, 0x61)));
        EXPECT_TRUE(WriteWholeFile(folder + "/one.dsk", one.Image()));
        test::CImageBuilder two(720, true);
        two.SetName("EMUTWO");
        EXPECT_TRUE(WriteWholeFile(folder + "/two.dsk", two.Image()));
        peer.drives['1'] = {folder + "/one.dsk", 0x11};
        peer.drives['2'] = {folder + "/two.dsk", 0x22};
        peer.drives[' '] = {folder + "/one.dsk", 0x33};  // not a drive character: skipped
        peer.floppies = "one.dsk\r\ntwo.dsk\r\n";
        EXPECT_TRUE(channel.Listen());
        EXPECT_TRUE(peer.Start(true, false));
    }
    std::unique_ptr<CVirtualDrive> Mount(char letter) {
        auto drive = std::make_unique<CVirtualDrive>();
        EXPECT_EQ(drive->MountEmulator(static_cast<uint8_t>(letter), &source, "", 0x11),
                  DriveKind::EmulatorDrive);
        return drive;
    }

    std::string folder;
    CLocalSocketChannel channel;
    test::CEmulatorPeer peer;
    CEmulatorDriveSource source;
    test::CScriptedPrompt prompt;
};

TEST_F(EmulatorDrives, ScanMountsEveryDriveWithItsLabel) {
    std::vector<ScannedDrive> drives;
    std::string floppies;
    int error = 0;
    ASSERT_TRUE(ScanEmulatorDrives(source, drives, floppies, error, prompt));
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].label, "DSK1 [EMU1]");
    EXPECT_EQ(drives[1].label, "DSK2 [EMUTWO]");
    EXPECT_EQ(drives[1].drive->m_emulatorDevice, 0x22);
    EXPECT_EQ(drives[1].drive->m_emulatorDrive, 2);
    EXPECT_EQ(drives[0].drive->CacheLevelSetting(), CacheSystemSectors);
    EXPECT_EQ(floppies, "one.dsk\r\ntwo.dsk\r\n");

    // A drive the emulator does not have is refused; the at sign needs no list.
    CVirtualDrive none;
    EXPECT_EQ(none.MountEmulator('7', &source, "", 0), 0);
    EXPECT_EQ(none.Kind(), DriveKind::None);
    CVirtualDrive at;
    EXPECT_EQ(at.MountEmulator('@', &source, "", 0), DriveKind::EmulatorDrive);
    EXPECT_EQ(at.m_emulatorDrive, 16);
}

TEST_F(EmulatorDrives, SectorsAndWholeDiskCopy) {
    auto dsk1 = Mount('1');
    EXPECT_GT(dsk1->FindFile("GAME"), 0);
    uint8_t sector[256];
    for (int i = 0; i < 256; ++i)
        sector[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(dsk1->WriteSector(300, sector));
    EXPECT_EQ(peer.sectorWrites, 1);

    const std::string copy = folder + "/copy.dsk";
    CVirtualDrive target;
    ASSERT_EQ(target.CreateImage(copy, false, false, false), DriveKind::DoadImage);
    ASSERT_TRUE(dsk1->CopySectors(target, false)) << dsk1->ErrorText();
    target.Close();
    Bytes a, b;
    ASSERT_TRUE(ReadWholeFile(copy, a));
    ASSERT_TRUE(ReadWholeFile(folder + "/one.dsk", b));
    EXPECT_EQ(a, b);
    EXPECT_EQ(Bytes(b.begin() + 300 * 256, b.begin() + 301 * 256), Bytes(sector, sector + 256));
}

TEST_F(EmulatorDrives, BadAnswersAreFailedReads) {
    auto dsk1 = Mount('1');
    const struct {
        const char* what;
        std::atomic<bool>* fault;
    } rows[] = {
        {"another identifier", &peer.wrongIdentifier},
        {"too few bytes", &peer.shortAnswer},
        {"no answer", &peer.silent},
    };
    for (const auto& row : rows) {
        *row.fault = true;
        uint8_t sector[256];
        std::fill(sector, sector + 256, 0x42);
        EXPECT_FALSE(dsk1->ReadSector(3, sector)) << row.what;
        EXPECT_EQ(dsk1->LastError(), DiskError::EmulatorProblem) << row.what;
        EXPECT_EQ(dsk1->ErrorText(), "Problem with Zantu") << row.what;
        EXPECT_EQ(Bytes(sector, sector + 256), Bytes(256, 0x42)) << row.what;
        *row.fault = false;
    }
    // A failed drive list leaves -21; a missing emulator shows its message.
    peer.silent = true;
    std::vector<ScannedDrive> drives;
    std::string floppies;
    int error = 0;
    EXPECT_FALSE(ScanEmulatorDrives(source, drives, floppies, error, prompt));
    EXPECT_EQ(error, DiskError::EmulatorProblem);
    peer.Stop();
    EXPECT_FALSE(ScanEmulatorDrives(source, drives, floppies, error, prompt));
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.back(), "Zantu not found");
    uint8_t sector[256];
    EXPECT_FALSE(dsk1->ReadSector(4, sector));
}

}  // namespace
}  // namespace tavik
