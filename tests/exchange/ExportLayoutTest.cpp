#include "exchange/ExportLayout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "exchange/HexDump.h"
#include "exchange/TextExport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Fdr(uint8_t status, int sectors, int eof, int rl, int records) {
    Bytes f(256, 0);
    f[12] = status;
    f[13] = rl ? static_cast<uint8_t>(256 / rl) : 0;
    f[14] = static_cast<uint8_t>(sectors >> 8);
    f[15] = static_cast<uint8_t>(sectors);
    f[16] = static_cast<uint8_t>(eof);
    f[17] = static_cast<uint8_t>(rl);
    f[18] = static_cast<uint8_t>(records);
    f[19] = static_cast<uint8_t>(records >> 8);
    return f;
}

// A variable-record sector from record texts, closed by an 0xFF mark when there is room.
Bytes VarSector(const std::vector<std::string>& records, uint8_t fill = 0xE5) {
    Bytes s(256, fill);
    size_t at = 0;
    for (const auto& r : records) {
        s[at++] = static_cast<uint8_t>(r.size());
        std::memcpy(s.data() + at, r.data(), r.size());
        at += r.size();
    }
    if (at < 256) s[at] = 0xFF;
    return s;
}

Bytes FixSector(const std::vector<std::string>& records, size_t rl, uint8_t pad = 0xE5) {
    Bytes s(256, pad);
    for (size_t i = 0; i < records.size(); ++i) {
        std::memset(s.data() + i * rl, ' ', rl);
        std::memcpy(s.data() + i * rl, records[i].data(), records[i].size());
    }
    return s;
}

Bytes Export(const Bytes& fdr, std::vector<Bytes> sectors, bool whole = false) {
    CMemorySectorFeed feed(std::move(sectors));
    Bytes out;
    EXPECT_TRUE(BuildExportData(fdr.data(), feed, whole, out));
    return out;
}

std::string Text(const Bytes& fdr, std::vector<Bytes> sectors, bool crLf = true) {
    CMemorySectorFeed feed(std::move(sectors));
    std::string out;
    EXPECT_TRUE(BuildTextExport(fdr.data(), feed, false, {}, crLf, out));
    return out;
}

TEST(ExportLayout, ProgramIsCutToTheEndOfFileOffset) {
    const Bytes a(256, 'a'), b(256, 'b');
    EXPECT_EQ(Export(Fdr(0x01, 2, 10, 0, 0), {a, b}).size(), 256u + 10u);
    EXPECT_EQ(Export(Fdr(0x01, 2, 0, 0, 0), {a, b}).size(), 512u);  // 0 means a full sector
    // Sectors of the chain beyond the count are cut like the last one.
    EXPECT_EQ(Export(Fdr(0x01, 1, 3, 0, 0), {a, b}).size(), 3u + 3u);
}

TEST(ExportLayout, VariableRecordsLoseTheirEndMarks) {
    const Bytes out =
        Export(Fdr(0x80, 2, 6, 80, 2), {VarSector({"AB", "", "CDE"}), VarSector({"F"})});
    EXPECT_EQ(out, (Bytes{2, 'A', 'B', 0, 3, 'C', 'D', 'E', 1, 'F'}));
    // A record running past the sector's end is not taken.
    Bytes bad = VarSector({"XY"});
    bad[3] = 254;
    EXPECT_EQ(Export(Fdr(0x80, 1, 6, 254, 1), {bad}), (Bytes{2, 'X', 'Y'}));
    // A 255-byte record fills its sector of a DV255 file; elsewhere 0xFF first is an empty sector.
    Bytes full(256, 'z');
    full[0] = 0xFF;
    EXPECT_EQ(Export(Fdr(0x80, 1, 0, 255, 1), {full}).size(), 256u);
    EXPECT_TRUE(Export(Fdr(0x80, 1, 0, 254, 1), {full}).empty());
}

TEST(ExportLayout, FixedRecordsArePackedUpToTheRecordCount) {
    const std::vector<Bytes> sectors = {FixSector({"1", "2", "3"}, 80), FixSector({"4"}, 80)};
    EXPECT_EQ(Export(Fdr(0x00, 2, 0, 80, 4), sectors).size(), 4u * 80u);
    EXPECT_EQ(Export(Fdr(0x02, 2, 0, 80, 2), sectors).size(), 2u * 80u);
    // A record count beyond the sectors stops at the last sector.
    EXPECT_EQ(Export(Fdr(0x00, 2, 0, 80, 9), sectors).size(), 6u * 80u);
    // Whole sectors keep padding and marks.
    const Bytes whole = Export(Fdr(0x00, 2, 0, 80, 4), sectors, true);
    ASSERT_EQ(whole.size(), 512u);
    EXPECT_EQ(whole[255], 0xE5);
}

TEST(TextExport, OneLinePerRecord) {
    EXPECT_EQ(Text(Fdr(0x80, 2, 6, 80, 2), {VarSector({"AB", "", "C\r"}), VarSector({"D"})}),
              "AB\r\n\r\nC\r\nD\r\n");
    // With the platform's LF the record ending in CR still ends its line in CR LF.
    EXPECT_EQ(Text(Fdr(0x80, 1, 6, 80, 1), {VarSector({"AB", "", "C\r"})}, false), "AB\n\nC\r\n");
    // DF80 of 4 records: exactly 4 lines though the second sector has room for 3.
    const std::string four = Text(Fdr(0x00, 2, 0, 80, 4),
                                  {FixSector({"1", "2", "3"}, 80), FixSector({"4", "5", "6"}, 80)});
    EXPECT_EQ(std::count(four.begin(), four.end(), '\n'), 4);
    EXPECT_EQ(four.substr(0, 82), "1" + std::string(79, ' ') + "\r\n");
    // DF128: the second record ends at the sector's last byte.
    const std::string two = Text(Fdr(0x00, 1, 0, 128, 2), {FixSector({"A", "B"}, 128)});
    EXPECT_EQ(two, "A" + std::string(127, ' ') + "\r\nB" + std::string(127, ' ') + "\r\n");
    // Programs: each sector is a line.
    EXPECT_EQ(Text(Fdr(0x01, 1, 5, 0, 0), {Bytes(256, 'p')}), std::string(256, 'p') + "\r\n");
}

TEST(TextExport, TabCreation) {
    struct Row {
        const char* record;
        std::vector<uint16_t> stops;
        const char* line;
    } rows[] = {
        {"A       B", {8, 16, 4}, "A\tB"},
        {"A      B", {8, 16, 4}, "A      B"},  // the spaces end before the stop
        {"        X", {8, 16, 4}, "\tX"},
        {"LABEL  MOV  R1,R2  ", {7, 12, 25}, "LABEL\tMOV\tR1,R2  "},
        {"A  ", {7, 12, 25}, "A  "},  // trailing blanks before a stop stay
        {"A        ", {7, 12, 25}, "A\t  "},
    };
    for (const Row& r : rows) {
        std::string out;
        AppendWithTabs(reinterpret_cast<const uint8_t*>(r.record),
                       static_cast<int>(strlen(r.record)), r.stops, out);
        EXPECT_EQ(out, r.line) << '"' << r.record << '"';
    }
    // Without stops the record is written as it is.
    std::string out;
    AppendRecordLine(reinterpret_cast<const uint8_t*>("A       B"), 9, true, {}, true, out);
    EXPECT_EQ(out, "A       B\r\n");
}

TEST(HexDump, SixteenLinesPerSector) {
    Bytes s(256);
    for (int i = 0; i < 256; ++i)
        s[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    std::string out;
    AppendHexDumpSector(2, s.data(), out);
    const std::string first = out.substr(0, out.find("\r\n"));
    EXPECT_EQ(first,
              "0200: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F " + std::string(16, ' '));
    EXPECT_NE(
        out.find(
            "\r\n0270: 70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F pqrstuvwxyz{|}~\x7F\r\n"),
        std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 16);
    EXPECT_EQ(out.size(), 16u * (6 + 48 + 16 + 2));
}

}  // namespace
}  // namespace tavik
