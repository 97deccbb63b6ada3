// MAME's imgtool as the independent peer: the files this system exports read the same there,
// the images it fills list and read the same there, and the files imgtool writes import here
// with the records their disk holds.
#include <gtest/gtest.h>

#include <filesystem>

#include "TransferFixture.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/ExportCommand.h"
#include "exchange/PcFileKind.h"
#include "support/Imgtool.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::CImgtool;
using test::ContentDifference;
using test::ContentOf;
using test::ContentOfTifiles;
using test::MemoryDisk;

// The default binary export.
constexpr int kPeerFormat = TifilesHeader;

std::vector<uint8_t> Bytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

struct ImageKind {
    const char* imgtoolFormat;
    bool pc99;
    bool doubleDensity;
    int sides;
};

const ImageKind kImageKinds[] = {
    {"v9t9", false, true, 2}, {"pc99mfm", true, true, 2}, {"pc99fm", true, false, 2}};

TEST(ImgtoolPeer, EveryPeerFileWeExportReadsTheSameInImgtool) {
    TAVIK_REQUIRE_IMGTOOL();
    const auto disks = test::PeerDisks();
    if (disks.empty()) GTEST_SKIP() << "peer data absent";
    CImgtool imgtool;
    int files = 0, same = 0;
    for (const test::PeerDisk& peer : disks) {
        const std::string dir = test::TempFolder();
        const std::string image = dir + "/peer.dsk";
        ASSERT_TRUE(imgtool.Create("v9t9", image, 2, true)) << imgtool.Output();
        MemoryDisk source(peer.image);
        std::vector<std::pair<std::string, int>> put;
        for (int fdr : test::FilesOf(source.drive)) {
            const std::string name = test::TrimmedName(source.drive.GetFileName(fdr));
            const std::string pc = dir + "/" + name + ".tfi";
            ASSERT_EQ(ExportInFormat(source.drive, fdr, pc, kPeerFormat, {}), 1) << name;
            ++files;
            if (imgtool.Put("v9t9", image, pc, name))
                put.emplace_back(name, fdr);
            else
                ADD_FAILURE() << peer.path << " " << name << ": " << imgtool.Output();
        }
        const std::string back = dir + "/back";
        std::filesystem::create_directory(back);
        ASSERT_TRUE(imgtool.GetAll("v9t9", image, back)) << imgtool.Output();
        for (const auto& [name, fdr] : put) {
            // imgtool read the count high byte first and writes it so: the bytes come back as
            // they were written, low byte first.
            const std::string difference = ContentDifference(
                ContentOfTifiles(Bytes(back + "/" + name), false), ContentOf(source.drive, fdr));
            EXPECT_EQ(difference, "") << peer.path << " " << name;
            if (difference.empty()) ++same;
        }
    }
    EXPECT_EQ(same, files);
    EXPECT_GT(files, 90);
}

// The kind's image made and formatted here, filled by importing each file's export.
void FillImage(CVirtualDrive& target, const ImageKind& kind, const std::string& path,
               CVirtualDrive& source, const std::string& dir, std::vector<int>& fdrs) {
    ASSERT_EQ(target.CreateImage(path, kind.sides == 2, kind.doubleDensity, kind.pc99) > 0, true);
    ASSERT_TRUE(target.Format("PEER", kind.sides == 2, kind.doubleDensity, 0, 40));
    test::CScriptedPrompt prompt;
    test::CScriptedFileNames names;
    CImportCommand import(target, prompt, names, ImportOptions{});
    for (int fdr : test::FilesOf(source)) {
        const std::string pc = dir + "/" + test::TrimmedName(source.GetFileName(fdr));
        ASSERT_EQ(ExportInFormat(source, fdr, pc, kPeerFormat, {}), 1);
        // A peer disk bigger than a single-density image fills it: the rest stays out.
        if (import.ImportOne(pc) != ImportOutcome::Imported) {
            ASSERT_EQ(target.LastError(), DiskError::DiskFull) << pc;
            break;
        }
        fdrs.push_back(fdr);
    }
}

TEST(ImgtoolPeer, ImagesWeFillListAndReadTheSameInImgtool) {
    TAVIK_REQUIRE_IMGTOOL();
    const auto disks = test::PeerDisks();
    if (disks.empty()) GTEST_SKIP() << "peer data absent";
    CImgtool imgtool;
    int checked = 0;
    for (const ImageKind& kind : kImageKinds) {
        for (const test::PeerDisk& peer : disks) {
            const std::string what = peer.path + " in " + kind.imgtoolFormat;
            const std::string dir = test::TempFolder();
            MemoryDisk source(peer.image);
            CVirtualDrive target;
            std::vector<int> sourceFdrs;
            FillImage(target, kind, dir + "/filled", source.drive, dir, sourceFdrs);
            if (HasFatalFailure()) return;

            std::vector<test::ImgtoolEntry> listed;
            ASSERT_TRUE(imgtool.Dir(kind.imgtoolFormat, dir + "/filled", listed))
                << what << ": " << imgtool.Output();
            const std::vector<int> ours = test::FilesOf(target);
            ASSERT_EQ(listed.size(), ours.size()) << what;
            const std::string back = dir + "/back";
            std::filesystem::create_directory(back);
            ASSERT_TRUE(imgtool.GetAll(kind.imgtoolFormat, dir + "/filled", back))
                << what << ": " << imgtool.Output();
            for (size_t i = 0; i < ours.size(); ++i) {
                FileInfo info;
                ASSERT_TRUE(target.GetFileInfo(ours[i], info));
                const std::string name = test::TrimmedName(info.name);
                EXPECT_EQ(listed[i].name, name) << what;
                EXPECT_EQ(listed[i].attributes,
                          test::ImgtoolAttributes(info.status, info.recordLength))
                    << what << " " << name;
                EXPECT_EQ(listed[i].bytes, (info.sectors + 1) * 256L) << what << " " << name;

                // What imgtool gets is our export but for the record count's byte order and
                // the header fields past the name, which it does not write.
                const std::string pc = dir + "/ours";
                ASSERT_EQ(ExportInFormat(target, ours[i], pc, kPeerFormat, {}), 1);
                std::vector<uint8_t> theirs = Bytes(back + "/" + name), mine = Bytes(pc);
                ASSERT_EQ(theirs.size(), mine.size()) << what << " " << name;
                std::swap(theirs[14], theirs[15]);
                EXPECT_TRUE(std::equal(mine.begin(), mine.begin() + 16, theirs.begin()))
                    << what << " " << name;
                EXPECT_TRUE(std::equal(mine.begin() + 128, mine.end(), theirs.begin() + 128))
                    << what << " " << name;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 250);
}

TEST(ImgtoolPeer, FilesImgtoolWritesImportWithTheRecordsTheirDiskHolds) {
    TAVIK_REQUIRE_IMGTOOL();
    const auto disks = test::PeerDisks();
    if (disks.empty()) GTEST_SKIP() << "peer data absent";
    CImgtool imgtool;
    test::CScriptedPrompt prompt;
    int checked = 0;
    for (const test::PeerDisk& peer : disks) {
        const std::string dir = test::TempFolder();
        ASSERT_TRUE(imgtool.GetAll("v9t9", peer.path, dir)) << imgtool.Output();
        MemoryDisk source(peer.image);
        for (int fdr : test::FilesOf(source.drive)) {
            const std::string name = test::TrimmedName(source.drive.GetFileName(fdr));
            MemoryDisk target(1600);
            test::CScriptedFileNames names;
            CImportCommand import(target.drive, prompt, names, ImportOptions{});
            ASSERT_EQ(import.ImportOne(dir + "/" + name), ImportOutcome::Imported)
                << peer.path << " " << name << ": " << prompt.messages.back();
            EXPECT_EQ(ContentDifference(ContentOf(target.drive, target.drive.FindFile(name)),
                                        ContentOf(source.drive, fdr)),
                      "")
                << peer.path << " " << name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 90);
}

}  // namespace
}  // namespace tavik
