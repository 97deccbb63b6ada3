#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileHeader.h"
#include "exchange/basic/BasicFile.h"
#include "exchange/basic/BasicTokenizer.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik::basic {
namespace {

bool Mount(CVirtualDrive& drive, const std::string& path) {
    auto file = CDiskFile::Open(path, OpenMode::ReadOnly);
    return file && drive.MountFile(std::move(file), 0, 0, -1);
}

std::vector<uint8_t> Data(CVirtualDrive& drive, int fdr) {
    ConversionSettings plain;
    plain.headerKind = HeaderNone;
    CMemFile out;
    EXPECT_TRUE(ExportFileTo(drive, fdr, out, plain));
    return out.Bytes();
}

// What LIST "DSK1.NAME-L" wrote: DIS/VAR 80 records after an empty first one. (One reference
// was written on a PC: plain text lines kept in a PROGRAM file.)
std::string ReferenceListing(CVirtualDrive& drive, int fdr) {
    const std::vector<uint8_t> data = Data(drive, fdr);
    FileInfo info;
    EXPECT_TRUE(drive.GetFileInfo(fdr, info));
    if (!(info.status & kStatusVariable)) return {data.begin(), data.end()};
    std::string text;
    for (size_t at = 0; at < data.size(); at += 1 + data[at])
        if (at > 0) text.append(data.begin() + at + 1, data.begin() + at + 1 + data[at]) += '\n';
    return text;
}

std::vector<BasicLine> Tokenized(const std::string& listing) {
    std::vector<BasicLine> lines;
    std::string error;
    EXPECT_TRUE(TokenizeListing(listing, lines, error)) << error;
    return lines;
}

std::vector<uint8_t> Built(const std::string& listing, BasicForm form, bool protect = false) {
    std::vector<uint8_t> data;
    std::string error;
    EXPECT_TRUE(BuildBasicFile(Tokenized(listing), form, protect, data, error)) << error;
    return data;
}

TEST(BasicListing, PeerProgramsListAsTheTiListedThemAndTokeniseBackToTheSameBytes) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/basic");
    CVirtualDrive drive;
    ASSERT_TRUE(Mount(drive, peer + "/basic1.dsk"));
    int checked = 0;
    std::vector<FileProperties> files;
    ASSERT_TRUE(drive.ReadCatalog(files));
    for (const FileProperties& f : files) {
        if (!(f.status & kStatusProgram)) continue;
        std::string name(f.name.begin(), f.name.end());
        name.resize(name.find_last_not_of(' ') + 1);
        const int program = drive.FindFile(name);
        const int reference = drive.FindFile(name + "-L");
        if (!IsBasicFile(drive, program) || reference <= 0) continue;
        SCOPED_TRACE(name);
        const std::string expected = ReferenceListing(drive, reference);
        BasicListing listing;
        ASSERT_TRUE(ListBasicFile(drive, program, listing));
        EXPECT_TRUE(listing.Complete()) << listing.problem;
        EXPECT_EQ(listing.text, expected);
        EXPECT_EQ(Built(expected, BasicForm::Program), Data(drive, program));

        const int merge = drive.FindFile(name + "-M");
        ASSERT_GT(merge, 0);
        ASSERT_TRUE(ListBasicFile(drive, merge, listing));
        EXPECT_EQ(listing.text, expected);
        EXPECT_EQ(Built(expected, BasicForm::Merge), Data(drive, merge));

        listing = ListBasic(Built(expected, BasicForm::Long), BasicForm::Long);
        EXPECT_TRUE(listing.Complete()) << listing.problem;
        EXPECT_EQ(listing.text, expected);
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

TEST(BasicListing, RealExtendedBasicProgramsListWithoutError) {
    TAVIK_REQUIRE_TESTDATA(real, "real");
    CVirtualDrive drive;
    ASSERT_TRUE(Mount(drive, real + "/classic99_060715XB27.dsk"));
    for (const char* name : {"BASICLOAD", "LOAD"}) {
        BasicListing listing;
        ASSERT_TRUE(ListBasicFile(drive, drive.FindFile(name), listing));
        EXPECT_TRUE(listing.Complete()) << name << ": " << listing.problem;
        EXPECT_GE(listing.lines, 2) << name;
    }
    // A machine-code memory image is no BASIC program.
    EXPECT_FALSE(IsBasicFile(drive, drive.FindFile("GROMLOAD")));
}

const char kSmall[] = "10 PRINT \"HI\"\n20 GOTO 10\n30 END\n";

// A program big enough for the long form.
std::string ThirtyLines() {
    std::string text;
    for (int n = 1; n <= 30; ++n)
        text += std::to_string(n) + " PRINT \"LINE\";" + std::to_string(n) + "\n";
    return text;
}

// A record file's data (each record a length byte and its bytes) as the records.
std::vector<std::string> Records(const std::vector<uint8_t>& data) {
    std::vector<std::string> records;
    for (size_t at = 0; at < data.size(); at += 1 + data[at])
        records.emplace_back(data.begin() + static_cast<long>(at) + 1,
                             data.begin() + static_cast<long>(at) + 1 + data[at]);
    return records;
}

TEST(BasicListing, OnlyFilesThatBeginAsAProgramAreOfferedForListing) {
    using test::BuiltFile;
    struct Row {
        BuiltFile file;
        bool basic;
    };
    const Row rows[] = {
        {BuiltFile::Program("PROG", Built(kSmall, BasicForm::Program)), true},
        {BuiltFile::Program("CODE", std::vector<uint8_t>(300, 0xA5)), false},
        {BuiltFile::Variable("LONG", true, 254, Records(Built(ThirtyLines(), BasicForm::Long))),
         true},
        {BuiltFile::Variable("DATA254", true, 254, {"HELLO", "WORLD"}), false},
        {BuiltFile::Variable("MERGE", false, 163, Records(Built(kSmall, BasicForm::Merge))), true},
        {BuiltFile::Variable("TEXT163", false, 163, {"HELLO WORLD"}), false},
        {BuiltFile::Variable("EMPTY163", false, 163, {}), false},
        {BuiltFile::Variable("LISTING", false, 80, {"10 PRINT \"HI\""}), false},
    };
    test::CImageBuilder image;
    for (const Row& row : rows)
        image.AddFile(row.file);
    CVirtualDrive drive;
    ASSERT_TRUE(drive.MountFile(std::make_unique<CMemFile>(image.Image()), 0, 0, -1));
    for (const Row& row : rows)
        EXPECT_EQ(IsBasicFile(drive, drive.FindFile(row.file.name)), row.basic) << row.file.name;
}

TEST(BasicListing, ProtectedProgramsAreListedAndMarked) {
    for (BasicForm form : {BasicForm::Program, BasicForm::Long}) {
        const std::string text = ThirtyLines();
        const std::vector<uint8_t> data = Built(text, form, true);
        const BasicListing listing = ListBasic(data, form);
        EXPECT_TRUE(listing.isProtected);
        EXPECT_TRUE(listing.Complete());
        EXPECT_EQ(listing.text, text);
    }
    // The check word of a protected program is the negative of the plain one.
    const std::vector<uint8_t> plain = Built(kSmall, BasicForm::Program);
    const std::vector<uint8_t> locked = Built(kSmall, BasicForm::Program, true);
    EXPECT_EQ(((plain[0] << 8 | plain[1]) + (locked[0] << 8 | locked[1])) & 0xFFFF, 0);
    EXPECT_FALSE(ListBasic(plain, BasicForm::Program).isProtected);
}

TEST(BasicListing, DamagedProgramsListWhatTheyCanAndSayWhereTheyStopped) {
    // kSmall as a PROGRAM image: header, line table (30, 20, 10), then the lines 30, 20, 10.
    const std::vector<uint8_t> program = Built(kSmall, BasicForm::Program);
    const size_t line10 = program.size() - 7;  // length byte of 10 PRINT "HI"
    ASSERT_EQ(program[line10 + 1], 0x9C);
    const struct {
        const char* what;
        BasicForm form;
        std::function<void(std::vector<uint8_t>&)> damage;
        int lines;
        const char* problem;
    } kCases[] = {
        {"line table entry beyond the program", BasicForm::Program,
         [](auto& d) { d[8 + 4 + 2] = 0x7F; }, 1, "points outside the program at line 20"},
        {"string longer than its line", BasicForm::Program, [&](auto& d) { d[line10 + 3] = 40; }, 1,
         "Line 10 runs past its end"},
        {"token of neither dialect", BasicForm::Program, [&](auto& d) { d[line10 + 1] = 0xAB; }, 1,
         "Line 10 holds an unknown token >AB"},
        {"no end mark", BasicForm::Program, [&](auto& d) { d.back() = 'X'; }, 1,
         "Line 10 runs past its end"},
        {"file cut inside the lines", BasicForm::Program, [](auto& d) { d.resize(d.size() - 9); },
         0, "The file ends before line 10"},
        {"file cut inside the line table", BasicForm::Program, [](auto& d) { d.resize(12); }, 0,
         "The file ends inside the line table"},
        {"check word wrong", BasicForm::Program, [](auto& d) { d[1] ^= 1; }, 0,
         "Not a BASIC program"},
        {"merge record cut off", BasicForm::Merge, [](auto& d) { d.resize(d.size() - 6); }, 2,
         "The file ends inside its record after line 20"},
        {"merge record too short", BasicForm::Merge, [](auto& d) { d[0] = 1; }, 0,
         "first record is no program line"},
        {"long form without its first record", BasicForm::Long, [](auto& d) { d[1] = 0; }, 0,
         "Not a BASIC program"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> data = c.form == BasicForm::Program ? program
                                    : c.form == BasicForm::Merge ? Built(kSmall, c.form)
                                                                 : Built(ThirtyLines(), c.form);
        c.damage(data);
        const BasicListing listing = ListBasic(data, c.form);
        EXPECT_FALSE(listing.Complete());
        EXPECT_EQ(listing.lines, c.lines);
        EXPECT_NE(listing.problem.find(c.problem), std::string::npos) << listing.problem;
        if (c.lines) {
            EXPECT_EQ(listing.text.substr(0, 3), c.form == BasicForm::Long ? "1 P" : "10 ");
        }
    }
}

TEST(BasicTokenizer, RefusesWhatTheTiWouldRefuse) {
    std::string big;
    for (int n = 1; n <= 300; ++n)
        big += std::to_string(n) + " PRINT \"" + std::string(40, 'X') + "\"\n";
    const struct {
        std::string listing;
        BasicForm form;
        const char* error;
    } kCases[] = {
        {"10 PRINT \"A\n", BasicForm::Program, "without its closing quote"},
        {"PRINT 1\n", BasicForm::Program, "no line number"},
        {"0 PRINT 1\n", BasicForm::Program, "outside 1 to 32767"},
        {"10 GOTO 40000\n", BasicForm::Program, "line number 40000 outside"},
        {"10 A=1\n10 B=2\n", BasicForm::Program, "Line 10 is given twice"},
        {"10 PRINT \"" + std::string(256, 'A') + "\"\n", BasicForm::Program, "at most 255"},
        {"10 PRINT \xE9\n", BasicForm::Program, "has no place outside a string"},
        {"10 GOS UB\n", BasicForm::Program, "two names in a row before UB"},
        {"10 REM A\rB\n", BasicForm::Program, "a carriage return inside the line"},
        {"10 PRINT \"" + std::string(200, 'A') + "\"\n", BasicForm::Merge, "Line 10 is too long"},
        {big, BasicForm::Program, "too big for the PROGRAM form"},
        {kSmall, BasicForm::Long, "too small for the long form"},
    };
    for (const auto& c : kCases) {
        std::vector<BasicLine> lines;
        std::vector<uint8_t> data;
        std::string error;
        const bool ok = TokenizeListing(c.listing, lines, error) &&
                        BuildBasicFile(lines, c.form, false, data, error);
        EXPECT_FALSE(ok) << c.error;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    // Typed text comes out as LIST shows it: keywords and names in capitals, blanks where LIST
    // puts them, strings and remarks as typed.
    const std::string typed =
        "100   print \"Hi\";a$ :: if x>1E2 then 200 else go sub 300\n"
        "200 call clear::data  one , \"Two\",3\n300 rem Keep  THIS\n400 x=8E+ 8+1.E-3E +2E2\n";
    EXPECT_EQ(ListBasic(Built(typed, BasicForm::Program), BasicForm::Program).text,
              "100 PRINT \"Hi\";A$ :: IF X>1E2 THEN 200 ELSE GO SUB 300\n"
              "200 CALL CLEAR :: DATA one,\"Two\",3\n300 REM Keep  THIS\n"
              // 8E+8 would read back as one number
              "400 X=8 E+8+1.E-3 E+2E2\n");
}

}  // namespace
}  // namespace tavik::basic
