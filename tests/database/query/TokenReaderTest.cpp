#include "database/query/TokenReader.h"

#include <gtest/gtest.h>

#include "database/query/ExportWriter.h"

namespace tavik {
namespace {

using Fields = std::vector<std::string>;
const Separators kTabCrLfFf{"\t", "\r\n", "\f"};

std::string Written(const Separators& s, const Fields& values) {
    CExportWriter writer(s);
    writer.OpenInMemory();
    writer.BeginTable("Params", {"Name", "Value"});
    for (const std::string& v : values)
        writer.Value(v);
    writer.EndRow();
    writer.EndTable();
    EXPECT_TRUE(writer.Close());
    return writer.Text();
}

TEST(ExportWriter, WritesBlocksAndEnclosesOnlyTheValuesThatNeedIt) {
    EXPECT_EQ(Written(kTabCrLfFf, {"X", "", "a\"b", "t\tab", "two\r\nlines", "\"q", "c;d"}),
              "Params\r\nName\tValue\t\r\nX\t\ta\"b\t\"t\tab\"\t\"two\r\nlines\"\t\"\"\"q\"\tc;d\t"
              "\r\n\f");
    // A byte of any separator makes a value need its quotes.
    EXPECT_EQ(Written({";", "\n", "#"}, {"c;d", "e#f", "g"}),
              "Params\nName;Value;\n\"c;d\";\"e#f\";g;\n#");
}

TEST(TokenReader, SplitsTokensTakingTheLongerOfTwoSeparators) {
    CTokenReader reader("ab\tc\r\nd\fef", kTabCrLfFf);
    std::string token;
    const std::pair<TokenEnd, const char*> expected[] = {{TokenEnd::Field, "ab"},
                                                         {TokenEnd::Record, "c"},
                                                         {TokenEnd::Table, "d"},
                                                         {TokenEnd::EndOfFile, "ef"}};
    for (const auto& [end, text] : expected) {
        EXPECT_EQ(reader.Read(token), end);
        EXPECT_EQ(token, text);
    }
    // A table separator that begins with the record separator ends the block.
    CTokenReader lines("a;\r\n\r\n", Separators{";", "\r\n", "\r\n\r\n"});
    EXPECT_EQ(lines.Read(token), TokenEnd::Field);
    EXPECT_EQ(lines.Read(token), TokenEnd::Table);
    EXPECT_EQ(token, "");
}

TEST(TokenReader, QuotedValuesAndTheFormWrittenBeforeThem) {
    // A quoted value runs to its closing quote; a quote that does not close right before a
    // separator was part of an old, unprotected value.
    CTokenReader reader("\"a\tb\"\"c\"\t\"x\" = \"y\"\t\"open\r\n", kTabCrLfFf);
    Fields fields;
    EXPECT_EQ(reader.ReadRecord(fields), TokenEnd::Record);
    EXPECT_EQ(fields, (Fields{"a\tb\"c", "\"x\" = \"y\"", "\"open"}));
    // A separator that starts with a quote leaves every value as it stands.
    CTokenReader plain("\"a\"\"|b\"|\n", Separators{"\"|", "\n", "\f"});
    EXPECT_EQ(plain.ReadRecord(fields), TokenEnd::Record);
    EXPECT_EQ(fields, (Fields{"\"a\"", "b"}));
}

TEST(TokenReader, EmptySeparatorsEndAtOnceAndLinesAreCounted) {
    std::string token;
    for (Separators s :
         {Separators{"", "\r\n", "\f"}, Separators{"\t", "", "\f"}, Separators{"\t", "\r\n", ""}}) {
        CTokenReader reader("Disks\r\nDisk name\t\r\n", s);
        EXPECT_EQ(reader.Read(token), TokenEnd::EndOfFile);
        EXPECT_EQ(token, "");
    }
    const std::string bytes = "A\r\nB\t\r\n\"two\r\nlines\"\t\r\nC";
    CTokenReader reader(bytes, kTabCrLfFf);
    EXPECT_EQ(reader.LineAt(bytes.find('C')), 5u);
    CTokenReader mac("A\rB\rC", Separators{"\t", "\r", "\f"});
    EXPECT_EQ(mac.LineAt(4), 3u);
}

// Every byte 1 to 255 comes back, whatever the separators.
TEST(TokenReader, ReadsBackEveryByteTheWriterWrote) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const Fields values = {all, "plain", "", "\"" + all, all + "\"", "\"\""};
    for (Separators s :
         {kTabCrLfFf, Separators{";", "\n", "\n#END#\n"}, Separators{"\r", "\n", "\f"},
          Separators{"ab", "b", "a"}, Separators{"x\"", "\n", "\f"}}) {
        const std::string text = Written(s, values);
        CTokenReader reader(text, s);
        Fields fields;
        ASSERT_EQ(reader.ReadRecord(fields), TokenEnd::Record);
        EXPECT_EQ(fields, Fields{"Params"});
        ASSERT_EQ(reader.ReadRecord(fields), TokenEnd::Record);
        EXPECT_EQ(fields, (Fields{"Name", "Value"}));
        ASSERT_EQ(reader.ReadRecord(fields), TokenEnd::Record) << s.field;
        EXPECT_EQ(fields, values) << s.field;
        EXPECT_TRUE(reader.AtCleanEnd());
    }
}

}  // namespace
}  // namespace tavik
