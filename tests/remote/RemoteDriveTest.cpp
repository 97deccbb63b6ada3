#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "RemoteRig.h"
#include "base/PcFile.h"
#include "remote/DriveScan.h"
#include "remote/RemoteDriveSource.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::CRemoteRig;
using test::CVirtualTi;
using test::Transport;
using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
    Bytes b;
    ReadWholeFile(path, b);
    return b;
}

// A TI with a disk controller at >1100 (DSK1..DSK3 on image files), a card without a valid ROM
// header at >1000 that offers DSK9, and the remote drive source over the chosen transport.
class RemoteDrives : public ::testing::TestWithParam<Transport> {
protected:
    RemoteDrives() : folder(test::TempFolder()), rig(GetParam(), folder), source(rig.ti) {
        test::CImageBuilder one;
        one.SetName("REMOTE1");
        one.AddFile(test::BuiltFile::Program("HELLO", Bytes(700, 0x5A)));
        one.AddFile(test::BuiltFile::Program("WORLD", Bytes(300, 0x17)));
        EXPECT_TRUE(WriteWholeFile(Image(1), one.Image()));
        test::CImageBuilder two;
        two.SetName("REMOTE2");
        EXPECT_TRUE(WriteWholeFile(Image(2), two.Image()));
        EXPECT_TRUE(WriteWholeFile(Image(3), test::CImageBuilder(720, true).Image()));

        test::VirtualCard card;
        card.cru = 0x1100;
        for (int n = 1; n <= 3; ++n)
            card.drives[n].imagePath = Image(n);
        test::VirtualCard bogus;
        bogus.cru = 0x1000;
        bogus.validHeader = false;
        bogus.driveNames = "9";
        bogus.drives[9].imagePath = Image(1);
        rig.vti.AddCard(bogus);
        rig.vti.AddCard(card);
        EXPECT_TRUE(rig.ti.Link().Open(true));
    }
    std::string Image(int n) const { return folder + "/dsk" + std::to_string(n) + ".dsk"; }
    std::unique_ptr<CVirtualDrive> Mount(int number, bool saveVdp = true) {
        auto drive = std::make_unique<CVirtualDrive>();
        drive->m_remoteSaveVdp = saveVdp;
        EXPECT_EQ(drive->MountRemote(static_cast<uint8_t>(number), &source), DriveKind::RemoteTi)
            << drive->ErrorText();
        return drive;
    }
    int Calls() {
        return rig.WithTi([](CVirtualTi& ti) { return ti.SubroutineCalls(); });
    }

    std::string folder;
    CRemoteRig rig;
    CRemoteDriveSource source;
};

TEST_P(RemoteDrives, ScanFindsEveryDriveOfTheValidCard) {
    std::vector<ScannedDrive> drives;
    ASSERT_TRUE(ScanRemoteDrives(source, CacheWholeDisk, true, drives, rig.prompt));
    ASSERT_EQ(drives.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(drives[i].label, "DSK" + std::to_string(i + 1));
        EXPECT_EQ(drives[i].device, "CRU >1100");
        EXPECT_EQ(drives[i].drive->Kind(), DriveKind::RemoteTi);
        EXPECT_EQ(drives[i].drive->m_remoteWords[RemoteCru], 0x1100);
        EXPECT_EQ(drives[i].drive->m_remoteWords[RemoteSub10], CVirtualTi::kSub10);
        EXPECT_EQ(drives[i].drive->m_remoteWords[RemoteSub11], CVirtualTi::kSub11);
    }
    EXPECT_EQ(drives[1].drive->GetDiskName().substr(0, 7), "REMOTE2");

    // Single-drive scans: a drive nobody offers is not found.
    CVirtualDrive probe;
    EXPECT_TRUE(source.ScanForDrives(probe, '2'));
    EXPECT_EQ(probe.m_remoteDrive, 2);
    EXPECT_FALSE(source.ScanForDrives(probe, '9'));
    CVirtualDrive missing;
    EXPECT_EQ(missing.MountRemote(9, &source), 0);
    EXPECT_EQ(missing.LastError(), DiskError::RemoteProblem);
}

TEST_P(RemoteDrives, CatalogCopyAndWholeDiskCopy) {
    auto dsk1 = Mount(1);
    DiskInfo info;
    ASSERT_TRUE(dsk1->GetDiskInfo(info)) << dsk1->ErrorText();
    EXPECT_EQ(info.files, 2);
    EXPECT_GT(dsk1->FindFile("HELLO"), 0);

    // A file from a PC image onto the remote disk.
    const std::string local = folder + "/local.dsk";
    test::CImageBuilder builder;
    builder.AddFile(test::BuiltFile::Program("FROMPC", Bytes(1000, 0x33)));
    ASSERT_TRUE(WriteWholeFile(local, builder.Image()));
    CVirtualDrive pc;
    ASSERT_EQ(pc.OpenImage(local), DriveKind::DoadImage);
    ASSERT_TRUE(pc.CopyFile(*dsk1, pc.FindFile("FROMPC"), "FROMPC")) << dsk1->ErrorText();
    EXPECT_GT(dsk1->FindFile("FROMPC"), 0);

    // The whole disk into a new image: byte for byte the TI's own image. (Through the emulated
    // port every byte costs several messages; the file copy above has already used it.)
    if (GetParam() == Transport::Emulated) return;
    const std::string copy = folder + "/copy.dsk";
    CVirtualDrive target;
    ASSERT_EQ(target.CreateImage(copy, false, false, false), DriveKind::DoadImage);
    ASSERT_TRUE(dsk1->CopySectors(target, false)) << dsk1->ErrorText();
    target.Close();
    EXPECT_EQ(ReadFile(copy), ReadFile(Image(1)));
}

TEST_P(RemoteDrives, WholeDiskCacheAndRefresh) {
    auto dsk2 = Mount(2);
    uint8_t sector[256];
    const int before = Calls();
    ASSERT_TRUE(dsk2->ReadSector(5, sector));
    ASSERT_TRUE(dsk2->ReadSector(5, sector));
    EXPECT_EQ(Calls(), before + 1);
    dsk2->Refresh();
    ASSERT_TRUE(dsk2->ReadSector(5, sector));
    EXPECT_EQ(Calls(), before + 2);
    dsk2->SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    ASSERT_TRUE(dsk2->ReadSector(5, sector));
    EXPECT_EQ(Calls(), before + 3);
}

TEST_P(RemoteDrives, VdpBufferSavedOnlyWhenAsked) {
    rig.WithTi([](CVirtualTi& ti) {
        for (int i = 0; i < 256; ++i)
            ti.Vdp(0x2000 + i) = 0x99;
        return 0;
    });
    const Bytes disk = ReadFile(Image(1));
    uint8_t sector[256];
    auto saving = Mount(1, true);
    ASSERT_TRUE(saving->ReadSector(0, sector));
    EXPECT_EQ(Bytes(sector, sector + 256), Bytes(disk.begin(), disk.begin() + 256));
    ASSERT_TRUE(rig.ti.Where());  // a round trip: the TI has taken every byte sent before
    EXPECT_EQ(rig.WithTi([](CVirtualTi& ti) { return ti.Vdp(0x2000); }), 0x99);
    auto plain = Mount(1, false);
    ASSERT_TRUE(plain->ReadSector(0, sector));
    EXPECT_EQ(rig.WithTi([](CVirtualTi& ti) { return ti.Vdp(0x2000); }), disk[0]);
}

TEST_P(RemoteDrives, DsrErrorsBecomeDriveErrors) {
    auto dsk3 = Mount(3);
    uint8_t sector[256] = {};
    const struct {
        bool writeProtected;
        uint8_t forced;
        int error;
        const char* text;
    } rows[] = {
        {true, 0, DiskError::TiIoError1, "TI-99/4A I/O error 1 (Write protected)"},
        {false, 0x06, DiskError::RemoteIoError, "TI-99/4A I/O error code 06"},
        {false, 0xC0, DiskError::TiIoError6, "TI-99/4A I/O error 6 (Device error)"},
        {false, 0xE0, DiskError::TiIoError7, "TI-99/4A I/O error 7 (File error)"},
    };
    for (const auto& row : rows) {
        rig.WithTi([&](CVirtualTi& ti) {
            ti.Card(0x1100)->drives[3].writeProtected = row.writeProtected;
            ti.Card(0x1100)->drives[3].forcedError = row.forced;
            return 0;
        });
        EXPECT_FALSE(dsk3->WriteSector(7, sector));
        EXPECT_EQ(dsk3->LastError(), row.error);
        EXPECT_EQ(dsk3->ErrorText(), row.text);
    }
    EXPECT_EQ(rig.ti.HookStatus(), 0x06);
}

TEST_P(RemoteDrives, PeerFaultsFailWithinTheTimeoutAndLeaveTheBuffer) {
    auto dsk1 = Mount(1);
    const struct {
        const char* what;
        void (*fault)(CVirtualTi&);
    } rows[] = {
        {"silent", [](CVirtualTi& ti) { ti.SetSilent(true); }},
        {"garbage", [](CVirtualTi& ti) { ti.SetGarbage(true); }},
        {"too few bytes", [](CVirtualTi& ti) { ti.SetAnswerLimit(40); }},
    };
    for (const auto& row : rows) {
        rig.WithTi([&](CVirtualTi& ti) {
            ti.SetSilent(false);
            ti.SetGarbage(false);
            ti.SetAnswerLimit(-1);
            ti.InstallHook();
            row.fault(ti);
            return 0;
        });
        uint8_t sector[256];
        std::fill(sector, sector + 256, 0x42);
        dsk1->Refresh();
        rig.prompt.SetDelay(800);  // ends a wait for a report that never comes
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(dsk1->ReadSector(10, sector)) << row.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << row.what;
        EXPECT_LT(dsk1->LastError(), 0) << row.what;
        EXPECT_EQ(Bytes(sector, sector + 256), Bytes(256, 0x42)) << row.what;
        EXPECT_EQ(dsk1->ErrorText().rfind("Problem with remote TI-99/4A.Error #", 0) == 0 ||
                      dsk1->LastError() != DiskError::RemoteProblem,
                  true)
            << row.what;
    }
    // A silent TI: the error record names the command and the byte that failed.
    rig.WithTi([](CVirtualTi& ti) {
        ti.SetGarbage(false);
        ti.SetAnswerLimit(-1);
        ti.SetSilent(true);
        return 0;
    });
    uint8_t sector[256];
    EXPECT_FALSE(dsk1->ReadSector(11, sector));
    // A parallel TI that does not take part in the handshake already fails the first byte out.
    EXPECT_EQ(dsk1->ErrorText(), GetParam() == Transport::Parallel
                                     ? "Problem with remote TI-99/4A.Error #13.1"
                                     : "Problem with remote TI-99/4A.Error #13.2");
}

TEST_P(RemoteDrives, FormatThroughSubroutine11) {
    // Saving the controller's VDP area costs thousands of messages on the emulated port.
    if (GetParam() == Transport::Emulated) GTEST_SKIP() << "covered by the cable transports";
    auto dsk2 = Mount(2);
    rig.WithTi([](CVirtualTi& ti) {
        ti.Vdp(0x1800) = 0x11;
        ti.Vdp(0x1800 + 0x0CFF) = 0x22;
        return 0;
    });
    ASSERT_TRUE(dsk2->Format("FRESH", false, false, 360, 40)) << dsk2->ErrorText();
    const Bytes image = ReadFile(Image(2));
    ASSERT_EQ(image.size(), 360u * 256u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 5), "FRESH");
    EXPECT_EQ(image[300 * 256], 0xE5);  // formatted by the controller
    EXPECT_EQ(
        rig.WithTi([](CVirtualTi& ti) { return ti.Vdp(0x1800) * 256 + ti.Vdp(0x1800 + 0x0CFF); }),
        0x1122);
    rig.WithTi([](CVirtualTi& ti) {
        ti.Card(0x1100)->drives[2].writeProtected = true;
        return 0;
    });
    EXPECT_FALSE(dsk2->Format("FRESH", false, false, 360, 40));
    EXPECT_EQ(dsk2->LastError(), DiskError::TiIoError1);
}

INSTANTIATE_TEST_SUITE_P(All, RemoteDrives,
                         ::testing::Values(Transport::Serial, Transport::Parallel,
                                           Transport::Emulated),
                         [](const auto& row) { return test::TransportName(row.param); });

}  // namespace
}  // namespace tavik
