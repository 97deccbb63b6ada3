#include "database/query/TokenReader.h"

#include <gtest/gtest.h>

#include "database/query/ExportWriter.h"

namespace tavik {
namespace {

const Separators kTabCrLfFf{"\t", "\r\n", "\f"};

TEST(ExportWriter, WritesBlocksWithEveryValueFollowedByTheFieldSeparator) {
    CExportWriter writer(kTabCrLfFf);
    writer.OpenInMemory();
    writer.BeginTable("Params", {"Name", "ID", "Type", "Value", "Comments"});
    for (const char* v : {"X", "3", "10", "a", ""})
        writer.Value(v);
    writer.EndRow();
    writer.EndTable();
    writer.BeginTable("Info", {"ID", "Name", "Value"});
    writer.EndTable();
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(writer.Text(),
              "Params\r\nName\tID\tType\tValue\tComments\t\r\nX\t3\t10\ta\t\t\r\n\f"
              "Info\r\nID\tName\tValue\t\r\n\f");
}

TEST(ExportWriter, ReportsAFileThatCannotBeCreated) {
    CExportWriter writer(kTabCrLfFf);
    EXPECT_FALSE(writer.Open("/nonexistent-folder/export.txt"));
}

TEST(TokenReader, SplitsTokensAndNeverReadsTheLastByte) {
    const std::string bytes = "ab\tc\r\nd\fef";
    CTokenReader reader(bytes, kTabCrLfFf);
    std::string token;
    EXPECT_EQ(reader.Read(token), TokenEnd::Field);
    EXPECT_EQ(token, "ab");
    EXPECT_EQ(reader.Read(token), TokenEnd::Record);
    EXPECT_EQ(token, "c");
    EXPECT_EQ(reader.Read(token), TokenEnd::Table);
    EXPECT_EQ(token, "d");
    EXPECT_EQ(reader.Read(token), TokenEnd::EndOfFile);
    EXPECT_EQ(token, "e");  // "f", the last byte, is lost
    EXPECT_EQ(reader.Read(token), TokenEnd::EndOfFile);
}

TEST(TokenReader, FieldSeparatorIsTestedFirst) {
    // With "|" as field and "||" as record separator a record can never end.
    const std::string bytes = "a||b|\n";
    CTokenReader reader(bytes, Separators{"|", "||", "\n"});
    std::string token;
    EXPECT_EQ(reader.Read(token), TokenEnd::Field);
    EXPECT_EQ(reader.Read(token), TokenEnd::Field);
    EXPECT_EQ(token, "");
}

TEST(TokenReader, EmptyFileAndEmptySeparatorsEndAtOnce) {
    std::string token;
    CTokenReader empty("", kTabCrLfFf);
    EXPECT_EQ(empty.Read(token), TokenEnd::EndOfFile);
    EXPECT_FALSE(empty.ReadTableName(token));
    const std::string bytes = "Disks\r\nDisk name\t\r\n";
    for (Separators s :
         {Separators{"", "\r\n", "\f"}, Separators{"\t", "", "\f"}, Separators{"\t", "\r\n", ""}}) {
        CTokenReader reader(bytes, s);
        EXPECT_EQ(reader.Read(token), TokenEnd::EndOfFile);
        reader.SkipBlock();
        std::vector<std::string> fields;
        EXPECT_FALSE(reader.ReadRecord(3, fields));
    }
}

TEST(TokenReader, RecordsEndTheirBlockWhenCutShortOrTooLong) {
    const std::string bytes =
        "DiskFileMM\r\nID\tDiskID\tFileID\t\r\n"
        "1\t2\t3\t\r\n"
        "4\t5\r\n"       // cut short: the block ends here
        "6\t7\t8\t\r\n"  // skipped with the rest of the block
        "\f"
        "Params\r\nName\t\r\n"
        "a\tb\tc\td\t\r\n"  // too long
        "\fInfo\r\n\f";
    CTokenReader reader(bytes, kTabCrLfFf);
    std::string name;
    std::vector<std::string> fields;
    ASSERT_TRUE(reader.ReadTableName(name));
    EXPECT_EQ(name, "DiskFileMM");
    ASSERT_TRUE(reader.SkipRecord());
    ASSERT_TRUE(reader.ReadRecord(3, fields));
    EXPECT_EQ(fields, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(reader.ReadRecord(3, fields));
    ASSERT_TRUE(reader.ReadTableName(name));
    EXPECT_EQ(name, "Params");
    ASSERT_TRUE(reader.SkipRecord());
    EXPECT_FALSE(reader.ReadRecord(3, fields));
    ASSERT_TRUE(reader.ReadTableName(name));
    EXPECT_EQ(name, "Info");
    // The block ends with its table separator; then the file is over.
    EXPECT_FALSE(reader.ReadRecord(3, fields));
    EXPECT_FALSE(reader.ReadTableName(name));
}

TEST(TokenReader, ReadsBackWhatTheWriterWrote) {
    for (Separators s :
         {kTabCrLfFf, Separators{";", "\n", "\n#END#\n"}, Separators{"\r", "\n", "\f"}}) {
        CExportWriter writer(s);
        writer.OpenInMemory();
        writer.BeginTable("Files", {"File name", "ID"});
        for (int row = 0; row < 3; ++row) {
            writer.Value("FILE" + std::to_string(row));
            writer.Value(std::to_string(row * 1000));
            writer.EndRow();
        }
        writer.EndTable();
        ASSERT_TRUE(writer.Close());
        CTokenReader reader(writer.Text(), s);
        std::string name;
        std::vector<std::string> fields;
        ASSERT_TRUE(reader.ReadTableName(name));
        EXPECT_EQ(name, "Files");
        ASSERT_TRUE(reader.SkipRecord());
        for (int row = 0; row < 3; ++row) {
            ASSERT_TRUE(reader.ReadRecord(2, fields)) << row;
            EXPECT_EQ(fields[0], "FILE" + std::to_string(row));
            EXPECT_EQ(fields[1], std::to_string(row * 1000));
        }
        EXPECT_FALSE(reader.ReadRecord(2, fields));
        EXPECT_TRUE(reader.AtEnd());
    }
}

}  // namespace
}  // namespace tavik
