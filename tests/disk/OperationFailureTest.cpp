// Every operation that changes a disk or a PC file, made to fail at each write it makes (and at
// its reads), on every image kind: after each failure the operation has said so, the files the
// user had are byte-identical, the disk check finds nothing it did not find before, and no
// progress is left showing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "DriveFixture.h"
#include "exchange/FileTransfer.h"
#include "exchange/ImportCommand.h"
#include "support/Holdings.h"
#include "support/ScriptedPrompt.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CFaultFile;
using test::CImageBuilder;
using test::Difference;
using test::Fault;
using test::Holdings;
using test::HoldingsOf;
using test::ImageKind;
using test::MemDrive;
using test::OnEveryImageKind;

std::string KindName(const ::testing::TestParamInfo<ImageKind>& kind) {
    std::string name = test::ImageKindName(kind.param);
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

INSTANTIATE_TEST_SUITE_P(, OnEveryImageKind,
                         ::testing::Values(ImageKind::Doad, ImageKind::Pc99Fm, ImageKind::Pc99Mfm),
                         KindName);

// The failures are also made on HFE images, whose sectors are written as runs of encoded
// cells, several writes to a sector.
class FailingOnEveryImageKind : public OnEveryImageKind {};
INSTANTIATE_TEST_SUITE_P(, FailingOnEveryImageKind,
                         ::testing::Values(ImageKind::Doad, ImageKind::Pc99Fm, ImageKind::Pc99Mfm,
                                           ImageKind::Hfe),
                         KindName);

// The images a scene starts from: two disks with fragmented files of every kind (a deleted
// file on the first), a disk like the first with hardly a free sector, and a PC file with a
// TIFILES header (to import, and the old content of an export target).
struct Images {
    std::vector<uint8_t> a, b, full, pc;
};

struct Scene {
    MemDrive disk, other, full;
    CFaultFile tifiles, text;
    // FDR sectors, found before any fault is armed.
    int alpha, beta, gamma, omega, otherBeta;

    Scene(const Images& images, ImageKind kind)
        : disk(images.a, kind),
          other(images.b, kind),
          full(images.full, kind),
          tifiles(images.pc),
          text(std::vector<uint8_t>{'o', 'n', 'e', '\r', '\n', 't', 'w', 'o', '\r', '\n'}) {
        disk.drive.DeleteFile(disk.drive.FindFile("GONE"));
        alpha = disk.drive.FindFile("ALPHA");
        beta = disk.drive.FindFile("BETA");
        gamma = disk.drive.FindFile("GAMMA");
        omega = other.drive.FindFile("OMEGA");
        otherBeta = other.drive.FindFile("BETA");
    }
    std::vector<CFaultFile*> Files() { return {disk.file, other.file, full.file, &tifiles, &text}; }
};

CImageBuilder DiskWithFiles(const char* program, uint8_t seed) {
    CImageBuilder b(160);  // small, so that whole-disk copies stay quick
    BuiltFile prog = BuiltFile::Program(program, test::Pattern(5 * 256 + 17, seed));
    prog.clusterSizes = {2, 4};
    b.AddFile(prog);
    BuiltFile notes = BuiltFile::Variable("BETA", false, 80, {"first", "second", "third"});
    b.AddFile(notes);
    BuiltFile table =
        BuiltFile::Fixed("GAMMA", true, 32, {"a", "b", "c", "d", "e", "f", "g", "h", "i"});
    table.clusterSizes = {1, 1};
    b.AddFile(table);
    return b;
}

struct Operation {
    const char* name;
    std::function<bool(Scene&)> run;  // true when the operation says it succeeded
};

// The import command with its dialog answered: the proposed name, or the given one.
bool Import(Scene& s, CPcFile& pc, const std::string& pcName, const std::string& name) {
    struct Names : CFileNameAnswers {
        std::string name;
        bool Confirm(int, FileNameDialogState& state) override {
            if (!name.empty()) state.name = name;
            return true;
        }
    } names;
    names.name = name;
    CImportCommand command(s.disk.drive, SilentPrompt(), names, ImportOptions{});
    return command.ImportFrom(pc, pcName) == ImportOutcome::Imported;
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"create", [](Scene& s) { return s.disk.drive.CreateFile("NEW", 0x80, 80) >= 2; }},
        {"create over a file",
         [](Scene& s) { return s.disk.drive.CreateFile("ALPHA", 0x00, 64) >= 2; }},
        {"append", [](Scene& s) { return s.disk.drive.AppendSector(s.beta) >= 2; }},
        {"copy a file",
         [](Scene& s) { return s.other.drive.CopyFile(s.disk.drive, s.otherBeta, "COPY") == 1; }},
        {"copy over a file",
         [](Scene& s) { return s.other.drive.CopyFile(s.disk.drive, s.omega, "ALPHA") == 1; }},
        {"copy over a file on a full disk",
         [](Scene& s) { return s.other.drive.CopyFile(s.full.drive, s.omega, "ALPHA") == 1; }},
        {"import over a file", [](Scene& s) { return Import(s, s.tifiles, "omega.tfi", ""); }},
        {"import a text", [](Scene& s) { return Import(s, s.text, "notes.txt", "BETA"); }},
        {"export",
         [](Scene& s) {
             return ExportFileInto(s.disk.drive, s.gamma, s.tifiles, ConversionSettings{}) == 1;
         }},
        {"rename", [](Scene& s) { return s.disk.drive.RenameFile(s.alpha, "ZULU") == 1; }},
        {"protect", [](Scene& s) { return s.disk.drive.SetProtection(s.beta, 2) == 1; }},
        {"delete", [](Scene& s) { return s.disk.drive.DeleteFile(s.alpha) == 1; }},
        {"undelete", [](Scene& s) { return s.disk.drive.UndeleteFile("GONE", -1) >= 2; }},
        {"purge a file", [](Scene& s) { return s.disk.drive.PurgeFile(s.gamma) == 1; }},
        {"purge the disk", [](Scene& s) { return s.disk.drive.PurgeDisk() == 1; }},
        {"format",
         [](Scene& s) { return s.disk.drive.Format("FRESH", false, false, 160, 40) == 1; }},
        {"defragment", [](Scene& s) { return s.disk.drive.Defragment() == 1; }},
        {"copy-disk, all sectors",
         [](Scene& s) { return s.disk.drive.CopyDisk(s.other.drive, CopyAllSectors) == 1; }},
        {"copy-disk, used sectors",
         [](Scene& s) { return s.disk.drive.CopyDisk(s.other.drive, CopyUsedSectors) == 1; }},
        {"copy-disk, files and VIB",
         [](Scene& s) { return s.disk.drive.CopyDisk(s.other.drive, CopyFilesAndVib) == 1; }},
        {"copy-disk, files",
         [](Scene& s) { return s.disk.drive.CopyDisk(s.other.drive, CopyFilesOnly) == 1; }},
        {"convert",
         [](Scene& s) {
             const bool toPc99 = s.disk.drive.Kind() == DriveKind::DoadImage;
             return s.disk.drive.ConvertImage(toPc99, false, false) == 1;
         }},
    };
    return operations;
}

TEST_P(FailingOnEveryImageKind, EveryOperationFailingAnywhereKeepsWhatTheUserHad) {
    Images images;
    CImageBuilder first = DiskWithFiles("ALPHA", 1);
    images.full = first.Image();
    first.AddFile(BuiltFile::Program("GONE", test::Pattern(600, 9)));
    images.a = first.Image();
    images.b = DiskWithFiles("OMEGA", 5).Image();
    {
        // Filled up to three free sectors: a file of six replaced there reuses its own.
        MemDrive full(images.full);
        const int filler = full.drive.CreateFile("FILLER", kStatusProgram, 0);
        DiskInfo info;
        while (full.drive.GetDiskInfo(info) && info.freeSectors > 3)
            ASSERT_GE(full.drive.AppendSector(filler), 2);
        images.full = full.Bytes();
        // The PC file: OMEGA exported with a TIFILES header, under the name ALPHA.
        MemDrive source(images.b);
        CMemFile out;
        ASSERT_EQ(ExportFileTo(source.drive, source.drive.FindFile("OMEGA"), out, {}), 1);
        images.pc = out.Bytes();
        std::memcpy(images.pc.data() + 16, "ALPHA     ", 10);
    }

    int runs = 0;
    for (const Operation& op : Operations()) {
        // A clean run counts what each file sees and must succeed.
        std::vector<std::pair<int, int>> counts;  // writes and reads per file
        {
            Scene s(images, Kind());
            for (CFaultFile* f : s.Files())
                f->Arm(Fault::None, 0);
            ASSERT_TRUE(op.run(s)) << op.name << ": " << s.disk.drive.ErrorText() << " / "
                                   << s.other.drive.ErrorText();
            for (CFaultFile* f : s.Files())
                counts.emplace_back(f->Writes(), f->Reads());
        }
        for (size_t file = 0; file < counts.size(); ++file) {
            const auto [writes, reads] = counts[file];
            std::vector<std::pair<Fault, int>> faults;
            // Reads are many where whole disks are read: a spread of them is enough. An HFE
            // image takes several writes a sector and is slow to copy for each scene: a spread
            // of its writes too.
            const bool hfe = Kind() == ImageKind::Hfe;
            for (int n = 1; n <= writes; n += hfe ? 1 + writes / 8 : 1)
                for (Fault f : {Fault::WriteError, Fault::ShortWrite, Fault::DiskFull})
                    faults.emplace_back(f, n);
            for (int n = 1; n <= reads; n += 1 + reads / (hfe ? 8 : 48))
                faults.emplace_back(Fault::ReadError, n);
            for (const auto& [fault, n] : faults) {
                Scene s(images, Kind());
                const Holdings disk = HoldingsOf(s.disk.Bytes());
                const Holdings other = HoldingsOf(s.other.Bytes());
                const std::vector<uint8_t> tifiles = s.tifiles.Bytes();
                CFaultFile* target = s.Files()[file];
                test::CScriptedPrompt prompt;
                s.disk.drive.SetPrompt(&prompt);
                s.other.drive.SetPrompt(&prompt);
                target->Arm(fault, n);
                const bool succeeded = op.run(s);
                ++runs;
                const std::string where = std::string(op.name) + ", file " + std::to_string(file) +
                                          ", " + test::FaultName(fault) + " at " +
                                          std::to_string(n);
                EXPECT_FALSE(prompt.progressUp) << where << ": its progress outlived it";
                // A full PC disk stops only what grows a file.
                if (!target->Fired()) {
                    EXPECT_TRUE(succeeded) << where;
                    continue;
                }
                EXPECT_FALSE(succeeded) << where;
                EXPECT_EQ(Difference(disk, HoldingsOf(s.disk.Bytes())), "") << where;
                EXPECT_EQ(Difference(other, HoldingsOf(s.other.Bytes())), "") << where;
                EXPECT_TRUE(s.tifiles.Bytes() == tifiles) << where;
            }
        }
    }
    EXPECT_GT(runs, Kind() == ImageKind::Hfe ? 500 : 1000);
}

// A replacement stopped for good at any write (nothing can be written after it, so nothing
// can be put back) leaves the old file or the new one whole, never neither: the new one is
// written beside the old before the index changes. (An HFE image writes one sector in several
// pieces, as a drive writes cells: a stop between them leaves that sector unreadable, as a
// power cut does on a floppy. The put-back of a failed write covers it there.)
TEST_P(OnEveryImageKind, AReplacementStoppedAtAnyWriteLeavesOneWholeVersion) {
    const Images images{DiskWithFiles("ALPHA", 1).Image(),
                        DiskWithFiles("OMEGA", 5).Image(),
                        DiskWithFiles("ALPHA", 1).Image(),
                        {}};
    const Holdings before = HoldingsOf(images.a);
    Holdings replaced;
    {
        Scene s(images, Kind());
        ASSERT_EQ(s.other.drive.CopyFile(s.disk.drive, s.omega, "ALPHA"), 1);
        replaced = HoldingsOf(s.disk.Bytes());
    }
    const std::string name = "ALPHA     ";
    for (int n = 1;; ++n) {
        Scene s(images, Kind());
        s.disk.file->Arm(Fault::Stop, n);
        s.other.drive.CopyFile(s.disk.drive, s.omega, "ALPHA");
        if (!s.disk.file->Fired()) break;
        Holdings after = HoldingsOf(s.disk.Bytes());
        const bool oldOne = after.files[name] == before.files.at(name);
        EXPECT_TRUE(oldOne || after.files[name] == replaced.files.at(name)) << n;
        after.files[name] = before.files.at(name);
        // At worst sectors stay marked used that no file uses.
        if (after.report.find("marked as used but not used") != std::string::npos)
            after.report = before.report;
        EXPECT_EQ(Difference(before, after), "") << n;
    }
}

}  // namespace
}  // namespace tavik
