#include "exchange/FileTransfer.h"
#include "exchange/FileView.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TransferFixture.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/ExportCommand.h"
#include "exchange/ImportCommand.h"
#include "exchange/PcFileHeader.h"
#include "exchange/PcFileKind.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

namespace fs = std::filesystem;
using test::CImageBuilder;
using test::ContentOf;
using test::CScriptedFileNames;
using test::MemoryDisk;
using test::TiContent;

// Imports the PC file onto the disk accepting the proposed name and type (or the given type).
int Import(CVirtualDrive& d, const std::string& path, CUserPrompt& prompt,
           const std::string& type = "", int convertText = -1) {
    CScriptedFileNames names;
    names.changes.push_back({"", type, convertText});
    CImportCommand command(d, prompt, names, ImportOptions{});
    return command.Run({path});
}

int ImportedFdr(CVirtualDrive& d, const std::string& name) {
    return d.FindFile(name);
}

// Where two lists of sectors first differ, "" when they are the same.
std::string FirstDifference(const std::vector<std::vector<uint8_t>>& a,
                            const std::vector<std::vector<uint8_t>>& b) {
    if (a.size() != b.size())
        return std::to_string(a.size()) + " sectors, not " + std::to_string(b.size());
    for (size_t k = 0; k < a.size(); ++k)
        for (size_t i = 0; i < a[k].size(); ++i)
            if (a[k][i] != b[k][i])
                return "sector " + std::to_string(k) + " byte " + std::to_string(i) + ": " +
                       std::to_string(a[k][i]) + " not " + std::to_string(b[k][i]);
    return "";
}

TEST(FileTransfer, PeerDiskFilesSurviveEveryExportForm) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/disks");
    const std::string out = test::TempFolder();
    test::CScriptedPrompt prompt;
    int checked = 0;
    for (const test::PeerDisk& peer : test::PeerDisks()) {
        MemoryDisk source(peer.image);
        for (int fdr : test::FilesOf(source.drive)) {
            const TiContent original = ContentOf(source.drive, fdr);
            FileInfo info;
            ASSERT_TRUE(source.drive.GetFileInfo(fdr, info));
            const std::string name = test::TrimmedName(info.name);
            const std::string type = ShortTypeText(info.status, info.recordLength);
            for (int format : {NoHeader, FiadHeader, TifilesHeader, TifilesPacked, FiadPacked}) {
                const std::string what = peer.path + " " + name + " as " + ExportFormatText(format);
                const std::string ext = info.status & kStatusProgram ? "PRG" : type;
                const std::string pc = out + "/" + name + "." + ext;
                ASSERT_EQ(ExportInFormat(source.drive, fdr, pc, format, {}), 1) << what;
                MemoryDisk target(1440);
                ASSERT_EQ(Import(target.drive, pc, prompt), 1)
                    << what << ": " << prompt.messages.back();
                const int copy = ImportedFdr(target.drive, name);
                ASSERT_GT(copy, 1) << what;
                EXPECT_EQ(test::ContentDifference(ContentOf(target.drive, copy), original), "")
                    << what;
                if (IsWholeSectors(format)) {
                    EXPECT_EQ(FirstDifference(test::FileSectors(target.drive, copy),
                                              test::FileSectors(source.drive, fdr)),
                              "")
                        << what;
                    ASSERT_TRUE(source.drive.ReadFdr(fdr));
                    const std::vector<uint8_t> a(source.drive.FdrBuffer() + 12,
                                                 source.drive.FdrBuffer() + 20);
                    ASSERT_TRUE(target.drive.ReadFdr(copy));
                    const std::vector<uint8_t> b(target.drive.FdrBuffer() + 12,
                                                 target.drive.FdrBuffer() + 20);
                    EXPECT_EQ(a, b) << what;
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 200);
}

TEST(FileTransfer, DisplayFilesSurviveTheTextForms) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/disks");
    const std::string out = test::TempFolder();
    test::CScriptedPrompt prompt;
    int checked = 0;
    for (const test::PeerDisk& peer : test::PeerDisks()) {
        MemoryDisk source(peer.image);
        for (int fdr : test::FilesOf(source.drive)) {
            FileInfo info;
            ASSERT_TRUE(source.drive.GetFileInfo(fdr, info));
            const int type = info.status & kTypeMask;
            // Text lines cannot hold line ends, and a text record has at most 254 characters.
            if ((type != 0x00 && type != 0x80) || info.recordLength > 254 || info.recordLength == 0)
                continue;
            const TiContent original = ContentOf(source.drive, fdr);
            bool plain = true;
            for (const auto& r : original.records)
                plain = plain && r.find_first_of("\r\n\t") == std::string::npos;
            if (!plain) continue;
            const std::string name = test::TrimmedName(info.name);
            for (int form = 0; form < 4; ++form) {
                // Both forms, with the lines ending in LF and in CR LF.
                const int format = form % 2 ? TextWithTabs : Text;
                const bool crLf = form >= 2;
                const std::string what = peer.path + " " + name + " as " +
                                         ExportFormatText(format) + (crLf ? " CR LF" : " LF");
                const std::string pc = out + "/" + name + ".txt";
                ASSERT_EQ(ExportInFormat(source.drive, fdr, pc, format, {7, 12, 25}, crLf), 1)
                    << what;
                MemoryDisk target(1440);
                CScriptedFileNames names;
                // Truncation keeps a line of exactly the record length one DIS/VAR record.
                names.changes.push_back({"", ShortTypeText(info.status, info.recordLength), 1,
                                         format == TextWithTabs, 1});
                CImportCommand command(target.drive, prompt, names, ImportOptions{});
                ASSERT_EQ(command.Run({pc}), 1) << what;
                EXPECT_EQ(test::ContentDifference(
                              ContentOf(target.drive, target.drive.FindFile(TextImportName(pc))),
                              original),
                          "")
                    << what;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 20);
}

TEST(FileTransfer, PeerFilesImportWithTheRecordsTheirDiskHolds) {
    TAVIK_REQUIRE_TESTDATA(files, "peer/files");
    TAVIK_REQUIRE_TESTDATA(disks, "peer/disks");
    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadWholeFile(disks + "/recsdis.dsk", image));
    MemoryDisk reference(image);
    test::CScriptedPrompt prompt;
    int checked = 0;
    for (const auto& e : fs::directory_iterator(files)) {
        const std::string what = e.path().filename().string();
        MemoryDisk target;
        ASSERT_EQ(Import(target.drive, e.path().string(), prompt), 1) << what;
        const std::string name = e.path().stem().string();
        const TiContent got = ContentOf(target.drive, target.drive.FindFile(name));
        const TiContent expected = ContentOf(reference.drive, reference.drive.FindFile(name));
        EXPECT_EQ(got.type, expected.type) << what;
        EXPECT_EQ(got.recordLength, expected.recordLength) << what;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(e.path().string(), bytes));
        const PcFileClass pc = ClassifyPcBytes(bytes.data(), bytes.size(), what);
        if (pc.headerRecords == 0 && !(pc.flags & kStatusVariable)) {
            // The header gives no count: every record slot of the data comes in.
            ASSERT_GE(got.records.size(), expected.records.size()) << what;
            EXPECT_TRUE(
                std::equal(expected.records.begin(), expected.records.end(), got.records.begin()))
                << what;
        } else {
            EXPECT_EQ(got.records, expected.records) << what;
        }
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

TEST(FileTransfer, HeadersWithLyingFieldsImportAsTheirDataSay) {
    std::vector<std::string> fixed, variable;
    for (int i = 0; i < 10; ++i)
        fixed.push_back("RECORD " + std::to_string(i));
    for (int i = 0; i < 7; ++i)
        variable.push_back(std::string(static_cast<size_t>(40 + i), static_cast<char>('a' + i)));
    CImageBuilder b;
    b.AddFile(test::BuiltFile::Fixed("FIX", false, 80, fixed));  // 4 sectors
    test::BuiltFile var = test::BuiltFile::Variable("VAR", false, 80, variable);
    var.recordsPerSector = 3;
    b.AddFile(var);  // 2 sectors, the second with 2 records and its mark at 93
    MemoryDisk source(b);
    const std::string dir = test::TempFolder();
    struct Row {
        const char* what;
        const char* file;
        int at;  // a header byte to change, or 128 + n for byte n of the data
        uint8_t value;
        const char* note;  // what the import says, "" for nothing
        bool protect = false;
    } rows[] = {
        {"as written", "FIX", 0, 0x07, ""},
        {"records per sector 0", "FIX", 11, 0, "records per sector 0 in the header, 3 used"},
        {"records per sector 7", "FIX", 11, 7, "records per sector 7 in the header, 3 used"},
        {"records per sector 9", "FIX", 11, 9, "records per sector 9 in the header, 3 used"},
        {"more sectors than the data", "FIX", 9, 6, "sector count 6 in the header, 4 used"},
        {"record count high byte first", "FIX", 15, 10, ""},  // with byte 14 made 0 below
        {"protected", "FIX", 10, 0x08, "", true},
        {"variable, more sectors than the data", "VAR", 9, 5,
         "sector count 5 in the header, 2 used"},
        {"last sector without its end mark", "VAR", 128 + 256 + 93, 0x20, ""},
        {"end-of-file offset before the last record", "VAR", 12, 60,
         "end-of-file offset 60 in the header, 93 used"},
    };
    for (const Row& r : rows) {
        const int fdr = source.drive.FindFile(r.file);
        const std::string pc = dir + "/" + r.file;
        ASSERT_EQ(ExportInFormat(source.drive, fdr, pc, TifilesHeader, {}), 1);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(pc, bytes));
        bytes[static_cast<size_t>(r.at)] = r.value;
        if (std::string(r.what) == "record count high byte first") bytes[14] = 0;
        ASSERT_TRUE(WriteWholeFile(pc, bytes));

        MemoryDisk target;
        test::CScriptedPrompt prompt;
        test::CScriptedFileNames names;
        CImportCommand command(target.drive, prompt, names, ImportOptions{});
        ASSERT_EQ(command.ImportOne(pc), ImportOutcome::Imported) << r.what;
        const int copy = target.drive.FindFile(r.file);
        EXPECT_EQ(
            test::ContentDifference(ContentOf(target.drive, copy), ContentOf(source.drive, fdr)),
            "")
            << r.what;
        ASSERT_TRUE(target.drive.ReadFdr(copy));
        EXPECT_EQ(target.drive.FdrBuffer()[13], 3) << r.what;
        EXPECT_EQ((target.drive.FdrBuffer()[12] & kStatusProtected) != 0, r.protect) << r.what;
        EXPECT_EQ(target.drive.CheckFdr(), 1) << r.what;
        const std::string notes = command.Notes().empty() ? "" : command.Notes().front();
        EXPECT_EQ(notes, *r.note ? pc + ": " + r.note : "") << r.what;
    }
}

// A disk whose free space is all single sectors between used ones.
std::vector<uint8_t> FragmentedDisk() {
    std::vector<uint8_t> image = CImageBuilder(360).Image();
    for (int n = 3; n < 360; n += 2)
        image[56 + n / 8] |= static_cast<uint8_t>(1 << (n % 8));
    return image;
}

TEST(FileTransfer, AFailedImportLeavesTheDiskAsItWas) {
    const std::string dir = test::TempFolder();
    ASSERT_TRUE(WriteWholeFile(dir + "/big.prg", std::vector<uint8_t>(256 * 400, 0x42)));
    ASSERT_TRUE(WriteWholeFile(dir + "/long.df80", std::vector<uint8_t>(90, 'x')));
    ASSERT_TRUE(WriteWholeFile(dir + "/mid.prg", std::vector<uint8_t>(256 * 100, 0x43)));
    struct Row {
        const char* what;
        std::vector<uint8_t> disk;
        std::string file;
        std::string type;
        std::string message;
    } rows[] = {
        {"disk full", CImageBuilder(360).Image(), "big.prg", "", "Disk is full"},
        {"too many clusters", FragmentedDisk(), "mid.prg", "",
         "File fractured in too many clusters"},
        {"raw line too long", CImageBuilder(360).Image(), "long.df80", "RDF80",
         "Line longer than 80 characters"},
    };
    for (Row& r : rows) {
        MemoryDisk d(r.disk);
        const std::vector<uint8_t> bitmap = d.Bitmap();
        int flags = 0;
        DiskUsage before{}, after{};
        ASSERT_TRUE(d.drive.CheckDisk(flags, before));
        const int filesBefore = d.drive.CountFiles();
        test::CScriptedPrompt prompt;
        EXPECT_EQ(Import(d.drive, dir + "/" + r.file, prompt, r.type), 0) << r.what;
        ASSERT_FALSE(prompt.messages.empty()) << r.what;
        EXPECT_EQ(prompt.messages.back(), r.message) << r.what;
        EXPECT_EQ(d.Bitmap(), bitmap) << r.what;
        int flagsAfter = 0;
        ASSERT_TRUE(d.drive.CheckDisk(flagsAfter, after));
        EXPECT_EQ(flagsAfter, flags) << r.what;
        EXPECT_EQ(d.drive.CountFiles(), filesBefore) << r.what;
        for (int s = 0; s < kMaxSectors; ++s)
            EXPECT_EQ(after[s] & ~kUsageIndexedFdr, before[s] & ~kUsageIndexedFdr)
                << r.what << " sector " << s;
    }
}

TEST(ImportCommand, ChecksAndTheirMessages) {
    const std::string dir = test::TempFolder();
    ASSERT_TRUE(WriteWholeFile(dir + "/disk.dsk", CImageBuilder(360).Image()));
    ASSERT_TRUE(WriteWholeFile(dir + "/code.prg", std::vector<uint8_t>(300, 0x11)));
    struct Row {
        const char* what;
        std::string file;
        CScriptedFileNames::Change change;
        std::string message;
    } rows[] = {
        {"whole disk", "disk.dsk", {}, "This file contains a whole TI-99/4A disk"},
        {"unknown type", "code.prg", {"", "XYZ"}, "Illegal file type"},
        {"empty name", "code.prg", {"<empty>", ""}, "Illegal file name"},
        {"record length 0", "code.prg", {"", "DF0"}, "Illegal record length 0"},
        {"record length too big", "code.prg", {"", "IV300"}, "Illegal record length 300"},
        {"text into program", "code.prg", {"", "", 1}, "Can't import text into a 'program' file"},
        {"text into internal",
         "code.prg",
         {"", "IF80", 1},
         "Can't import text into an 'internal' file"},
        {"text into DV255",
         "code.prg",
         {"", "DV255", 1},
         "Text records can be at most 254 characters long"},
        {"missing file",
         "none.prg",
         {},
         "Cannot open PC file\n" + dir + "/none.prg: No such file or directory"},
    };
    for (const Row& r : rows) {
        MemoryDisk d;
        test::CScriptedPrompt prompt;
        CScriptedFileNames names;
        names.changes.push_back(r.change);
        CImportCommand command(d.drive, prompt, names, ImportOptions{});
        EXPECT_EQ(command.Run({dir + "/" + r.file}), 0) << r.what;
        ASSERT_EQ(prompt.messages.size(), 1u) << r.what;
        EXPECT_EQ(prompt.messages[0], r.message) << r.what;
        EXPECT_EQ(d.drive.CountFiles(), 0) << r.what;
    }
}

TEST(ImportCommand, ProposalsCarryOverAndCancelStops) {
    const std::string dir = test::TempFolder();
    ASSERT_TRUE(WriteWholeFile(dir + "/READ.ME.TXT", {'h', 'i', '\r', '\n'}));
    ASSERT_TRUE(WriteWholeFile(dir + "/data.df80", std::vector<uint8_t>(80, 'd')));
    ASSERT_TRUE(WriteWholeFile(dir + "/more.prg", {1, 2, 3}));
    MemoryDisk d;
    test::CScriptedPrompt prompt;
    CScriptedFileNames names;
    names.changes.push_back({"", "", -1, 0, 1});  // the user clears "Convert tabs", sets "Truncate"
    names.changes.push_back({});
    names.changes.push_back({"", "", -1, -1, -1, true});
    ImportOptions options;
    options.replaceTabs = true;
    CImportCommand command(d.drive, prompt, names, options);
    EXPECT_EQ(command.Run({dir + "/READ.ME.TXT", dir + "/data.df80", dir + "/more.prg",
                           dir + "/READ.ME.TXT"}),
              2);
    ASSERT_EQ(names.shown.size(), 3u);  // the fourth file is never asked about
    EXPECT_EQ(names.shown[0].name, "READ/ME");
    EXPECT_EQ(names.shown[0].type, "DV80");
    EXPECT_TRUE(names.shown[0].convertText);
    EXPECT_TRUE(names.shown[0].convertTabs);
    EXPECT_EQ(names.shown[1].name, "DATA");
    EXPECT_EQ(names.shown[1].type, "DF80");
    EXPECT_FALSE(names.shown[1].convertText);
    EXPECT_FALSE(names.shown[1].convertTabs);
    EXPECT_TRUE(names.shown[1].truncate);
    EXPECT_EQ(ContentOf(d.drive, d.drive.FindFile("READ/ME")).records,
              std::vector<std::string>{"hi"});
    EXPECT_EQ(d.drive.TruncateFlag(), 1);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ImportCommand, RawProgramsHaveTheirHeaderWordsSwapped) {
    const std::string dir = test::TempFolder();
    std::vector<uint8_t> program(600);
    for (size_t i = 0; i < program.size(); ++i)
        program[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(WriteWholeFile(dir + "/GAME", program));
    MemoryDisk d;
    test::CScriptedPrompt prompt;
    ASSERT_EQ(Import(d.drive, dir + "/GAME", prompt, "RProg"), 1);
    const std::string got = ContentOf(d.drive, d.drive.FindFile("GAME")).records[0];
    ASSERT_EQ(got.size(), 600u);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 8),
              (std::vector<uint8_t>{0, 1, 4, 5, 2, 3, 6, 7}));
}

TEST(ExportCommand, LookupChoiceAndViews) {
    CImageBuilder b;
    b.AddFile(test::BuiltFile::Variable("NOTES", false, 80, {"A       B", "", "C"}));
    b.AddFile(test::BuiltFile::Program("CODE", std::vector<uint8_t>(300, 0x41)));
    MemoryDisk d(b);
    const std::string dir = test::TempFolder();
    struct Chooser : CExportChooserAnswers {
        ExportChoice answer;
        bool ok = true;
        bool Choose(const std::string&, ExportChoice& c) override {
            c = answer;
            return ok;
        }
    } chooser;
    test::CScriptedPrompt prompt;
    EXPECT_EQ(RunExportCommand(d.drive, "NOPE", chooser, prompt, {}), 0);
    EXPECT_EQ(prompt.messages.back(), "File not found");
    chooser.answer = {"\"" + dir + "/notes text.txt\"", TextWithTabs};
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {8, 16, 4}), 1);
    std::vector<uint8_t> text;
    ASSERT_TRUE(ReadWholeFile(dir + "/notes text.txt", text));
    EXPECT_EQ(std::string(text.begin(), text.end()), "A\tB\n\nC\n");
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {8, 16, 4}, true), 1);
    ASSERT_TRUE(ReadWholeFile(dir + "/notes text.txt", text));
    EXPECT_EQ(std::string(text.begin(), text.end()), "A\tB\r\n\r\nC\r\n");
    chooser.answer = {dir + "/notes.tfi", TifilesHeader};
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {}), 1);
    ASSERT_TRUE(ReadWholeFile(dir + "/notes.tfi", text));
    EXPECT_EQ(text.size(), 128u + 256);  // the header and the file's one sector
    EXPECT_EQ(d.drive.ExportHeaderKind(), HeaderTifiles);
    chooser.answer = {dir + "/notes.tfi", TifilesPacked};
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {}), 1);
    ASSERT_TRUE(ReadWholeFile(dir + "/notes.tfi", text));
    EXPECT_EQ(text.size(), 128u + 10 + 1 + 2);  // the records alone
    chooser.answer = {dir + "/no/such/folder/x", NoHeader};
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {}), 0);
    EXPECT_EQ(prompt.messages.back(),
              "Can't open file on PC\n" + dir + "/no/such/folder/x: No such file or directory");
    chooser.ok = false;
    EXPECT_EQ(RunExportCommand(d.drive, "NOTES", chooser, prompt, {}), -1);

    FileView view;
    ASSERT_TRUE(MakeFileView(d.drive, d.drive.FindFile("CODE"), ViewKind::Hex, false, {}, view));
    EXPECT_EQ(std::count(view.text.begin(), view.text.end(), '\n'), 32);
    EXPECT_EQ(view.text.substr(0, 9), "0000: 41 ");
    ASSERT_TRUE(
        MakeFileView(d.drive, d.drive.FindFile("NOTES"), ViewKind::Text, false, {8, 16, 4}, view));
    EXPECT_EQ(view.text, "A       B\n\nC\n");
}

}  // namespace
}  // namespace tavik
