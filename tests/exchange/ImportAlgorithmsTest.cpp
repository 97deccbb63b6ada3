#include <gtest/gtest.h>

#include <cstring>

#include "base/PcFile.h"
#include "exchange/BinaryImport.h"
#include "exchange/ExportLayout.h"
#include "exchange/TextImport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct Built {
    ImportStatus status;
    ImportTotals totals;
    std::vector<Bytes> sectors;
};

template <typename Fn>
Built Run(const Bytes& input, Fn fn) {
    CMemFile file(input);
    CByteReader in(file, 0);
    CMemorySectorSink sink;
    Built b;
    b.status = fn(in, sink, b.totals);
    b.sectors = sink.m_sectors;
    EXPECT_EQ(b.totals.sectors, static_cast<int>(b.sectors.size()));
    return b;
}

Built Program(const Bytes& in) {
    return Run(in, [](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportProgramData(r, s, t);
    });
}
Built Fixed(const Bytes& in, int rl, bool sectorFormat) {
    return Run(in, [&](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportFixedData(r, rl, sectorFormat, s, t);
    });
}
Built Variable(const Bytes& in, int rl, bool packed = false) {
    return Run(in, [&](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportVariableData(r, rl, packed, s, t);
    });
}
Built Raw(const Bytes& in) {
    return Run(in, [](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportRawLines(r, 80, s, t);
    });
}
Built TextVar(const std::string& in, int rl, TextImportSettings settings = {}) {
    return Run(B(in), [&](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportTextVariable(r, rl, settings, s, t);
    });
}
Built TextFix(const std::string& in, int rl, TextImportSettings settings = {}) {
    return Run(B(in), [&](CByteReader& r, CSectorSink& s, ImportTotals& t) {
        return ImportTextFixed(r, rl, settings, s, t);
    });
}

// The records of variable-record sectors, through the export's reading of them.
std::vector<std::string> VarRecords(const std::vector<Bytes>& sectors, int rl) {
    std::vector<std::string> out;
    for (const Bytes& s : sectors) {
        int length = 0;
        for (int at = 0; at < 256 && VariableRecordAt(s.data(), at, rl, length); at += length + 1)
            out.emplace_back(reinterpret_cast<const char*>(s.data()) + at + 1,
                             static_cast<size_t>(length));
    }
    return out;
}

std::vector<std::string> FixRecords(const Built& b, int rl) {
    std::vector<std::string> out;
    const int n = 256 / rl;
    for (int i = 0; i < b.totals.records; ++i)
        out.emplace_back(
            reinterpret_cast<const char*>(b.sectors[static_cast<size_t>(i / n)].data()) +
                (i % n) * rl,
            static_cast<size_t>(rl));
    return out;
}

std::string Padded(const std::string& s, size_t rl) {
    return s + std::string(rl - s.size(), ' ');
}

TEST(BinaryImport, ProgramChunks) {
    const Built b = Program(Bytes(300, 7));
    EXPECT_EQ(b.status, ImportStatus::Ok);
    EXPECT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(b.totals.eofOffset, 44);
    EXPECT_EQ(b.sectors[1][43], 7);
    EXPECT_EQ(b.sectors[1][44], 0);
    EXPECT_EQ(Program(Bytes(512, 1)).totals.eofOffset, 0);
    EXPECT_EQ(Program({}).totals.sectors, 0);
}

TEST(BinaryImport, FixedRecordsPackedAndWholeSectors) {
    // DF80 packed: 240 bytes a sector.
    Bytes packed;
    for (int i = 0; i < 4; ++i)
        packed.insert(packed.end(), 80, static_cast<uint8_t>('a' + i));
    Built b = Fixed(packed, 80, false);
    EXPECT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(b.totals.records, 4);
    EXPECT_EQ(b.sectors[1][0], 'd');
    EXPECT_EQ(b.sectors[0][240], 0);
    // Whole sectors keep their padding; the computed count includes the padding slots.
    Bytes whole(512, 0xE5);
    std::memcpy(whole.data(), packed.data(), 240);
    std::memcpy(whole.data() + 256, packed.data() + 240, 80);
    b = Fixed(whole, 80, true);
    EXPECT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(b.totals.records, 6);
    EXPECT_EQ(b.sectors[0][250], 0xE5);
    EXPECT_EQ(b.sectors[1][0], 'd');
    // A cut-off last record is not counted.
    EXPECT_EQ(Fixed(Bytes(100, 'x'), 80, false).totals.records, 1);
}

TEST(BinaryImport, SectorFormatAndRecordCountRules) {
    struct Row {
        int64_t length;
        int sectors;
        int rl;
        int low, high;  // the header's record count read both ways
        bool whole;
    } rows[] = {
        {240 * 2, 2, 80, 0, 0, false},
        {240 + 80, 2, 80, 0, 0, false},
        {512, 2, 80, 0, 0, true},
        {500, 2, 80, 0, 0, true},  // cut whole sectors: longer than the records can be
        {1270, 5, 127, 0, 0, false},
        {1280, 5, 127, 0, 0, true},
        {250 * 4, 4, 50, 0, 0, false},
        {1024, 4, 50, 0, 0, true},
        {512, 2, 64, 0, 0, true},  // records fill their sectors: both forms are the same
        // The header claims more sectors than the data hold: the record count tells.
        {1024, 6, 80, 10, 0x0A00, true},
        {1024, 6, 80, 0x0A00, 10, true},  // the count written high byte first
        {1024, 6, 80, 0, 0, true},
        // 16 packed DF80 records take 5 x 256 bytes, whole sectors would be 6.
        {1280, 6, 80, 16, 0x1000, false},
        {960, 4, 80, 12, 0x0C00, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FixedDataInWholeSectors(r.length, r.rl, r.sectors, r.low, r.high), r.whole)
            << r.length << " bytes, " << r.sectors << " sectors, DF" << r.rl << ", " << r.low
            << " records";
    struct Count {
        int computed, low, high, expected;
    } counts[] = {
        {9, 8, 0x0800, 8},         // DF80 of 8 records in whole sectors
        {24, 20, 0x1400, 20},      // IF32 of 20
        {24, 0x1400, 20, 20},      // a count written high byte first
        {24, 0x1900, 0x0019, 24},  // neither fits: the data decide
        {7, 7, 0x0700, 7},         // packed: the header agrees
        {256, 0, 0, 256},          // no count at all
    };
    for (const Count& c : counts)
        EXPECT_EQ(FixedRecordCount(c.computed, c.low, c.high), c.expected) << c.low;
}

TEST(BinaryImport, VariableRecordsFromPackedAndWholeSectors) {
    // 7 records of 100 bytes: two a sector.
    Bytes packed;
    for (int i = 0; i < 7; ++i) {
        packed.push_back(100);
        packed.insert(packed.end(), 100, static_cast<uint8_t>('0' + i));
    }
    const Built fromPacked = Variable(packed, 100);
    EXPECT_EQ(fromPacked.totals.sectors, 4);
    EXPECT_EQ(fromPacked.totals.eofOffset, 101);
    EXPECT_EQ(fromPacked.sectors[0][202], 0xFF);
    Bytes whole;
    for (const Bytes& s : fromPacked.sectors)
        whole.insert(whole.end(), s.begin(), s.end());
    const Built fromWhole = Variable(whole, 100);
    EXPECT_EQ(fromWhole.sectors, fromPacked.sectors);
    EXPECT_EQ(fromWhole.totals.eofOffset, 101);
    EXPECT_EQ(VarRecords(fromWhole.sectors, 100).size(), 7u);
    // Empty input: no sector, EOF offset 0.
    EXPECT_EQ(Variable({}, 80).totals.sectors, 0);
}

TEST(BinaryImport, VariableRecordsOf255BytesFillTheirSector) {
    Bytes full(256, 'f');
    full[0] = 0xFF;
    Bytes shortRecord = {3, 'a', 'b', 'c'};
    for (bool packed : {false, true}) {
        // Two full records, whole-sector and packed forms being the same bytes.
        Bytes two = full;
        two.insert(two.end(), full.begin(), full.end());
        Built b = Variable(two, 255, packed);
        EXPECT_EQ(b.totals.sectors, 2) << packed;
        EXPECT_EQ(b.totals.eofOffset, 0) << packed;
        EXPECT_EQ(VarRecords(b.sectors, 255).size(), 2u) << packed;
    }
    // Packed: a short record and then a full one, which goes to a sector of its own.
    Bytes mixed = shortRecord;
    mixed.insert(mixed.end(), full.begin(), full.end());
    const Built b = Variable(mixed, 255, true);
    EXPECT_EQ(VarRecords(b.sectors, 255), (std::vector<std::string>{"abc", std::string(255, 'f')}));
    // In a file of shorter records 0xFF is always an end mark, even in packed input.
    EXPECT_EQ(Variable(full, 80, true).status, ImportStatus::Ok);
}

TEST(BinaryImport, RawLinesIntoDf80) {
    const Built b = Raw(B("ONE\r\nTWO\r\nTHREE\r\nFOUR\r\nFIVE"));
    EXPECT_EQ(b.status, ImportStatus::Ok);
    EXPECT_EQ(b.totals.records, 5);  // the last line counts without its CR
    EXPECT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(std::string(b.sectors[0].begin(), b.sectors[0].begin() + 83),
              Padded("ONE", 80) + "TWO");
    EXPECT_EQ(b.sectors[1][4], ' ');
    EXPECT_EQ(Raw(B(std::string(80, 'x') + "\r\n")).totals.records, 1);
    EXPECT_EQ(Raw(B(std::string(81, 'x') + "\r\n")).status, ImportStatus::LineTooLong);
    EXPECT_EQ(Raw(B("ONE\nTWO\rTHREE\r\n")).totals.records, 3);
}

TEST(TextImport, VariableLinesAndLineEnds) {
    TextImportSettings truncate;
    truncate.truncate = true;
    struct Row {
        const char* what;
        std::string text;
        TextImportSettings settings;
        std::vector<std::string> records;
    } rows[] = {
        {"CR LF and a last line without one", "AB\r\nC\r\nD", {}, {"AB", "C", "D"}},
        {"CR alone ends a line", "AB\rC", {}, {"AB", "C"}},
        {"LF alone ends a line", "AB\nC\n", {}, {"AB", "C"}},
        {"LF then CR are two line ends", "AB\n\rC", {}, {"AB", "", "C"}},
        {"full line then its LF",
         std::string(80, 'a') + "\nB\n",
         {},
         {std::string(80, 'a'), "", "B"}},
        {"long line truncated at its LF",
         std::string(100, 'a') + "\nB\n",
         truncate,
         {std::string(80, 'a'), "B"}},
        {"empty lines", "\r\n\r\nX\r\n", {}, {"", "", "X"}},
        {"full line then its CR LF",
         std::string(80, 'a') + "\r\nB\r\n",
         {},
         {std::string(80, 'a'), "", "B"}},
        {"long line continues",
         std::string(100, 'a') + "\r\n",
         {},
         {std::string(80, 'a'), std::string(20, 'a')}},
        {"long line truncated",
         std::string(100, 'a') + "\r\nB\r\n",
         truncate,
         {std::string(80, 'a'), "B"}},
    };
    for (const Row& r : rows) {
        const Built b = TextVar(r.text, 80, r.settings);
        EXPECT_EQ(VarRecords(b.sectors, 80), r.records) << r.what;
        EXPECT_EQ(b.totals.records, static_cast<int>(r.records.size())) << r.what;
    }
    const Built empty = TextVar("", 80);
    EXPECT_EQ(empty.totals.sectors, 0);
    EXPECT_EQ(empty.totals.eofOffset, 0);
}

TEST(TextImport, VariablePacking) {
    // Three lines of 100 characters: two fit a sector (202 bytes and the mark).
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += std::string(100, static_cast<char>('a' + i)) + "\r\n";
    const Built b = TextVar(text, 254);
    ASSERT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(b.sectors[0][202], 0xFF);
    EXPECT_EQ(b.totals.eofOffset, 101);
    EXPECT_EQ(b.sectors[1][101], 0xFF);
}

TEST(TextImport, FixedRecordsAndTheFullRecordRule) {
    TextImportSettings truncate;
    truncate.truncate = true;
    struct Row {
        const char* what;
        std::string text;
        TextImportSettings settings;
        std::vector<std::string> records;
    } rows[] = {
        {"full line is one record",
         std::string(10, 'a') + "\r\nB\r\n",
         {},
         {std::string(10, 'a'), "B"}},
        {"long line continues",
         std::string(15, 'a') + "\r\nB\r\n",
         {},
         {std::string(10, 'a'), "aaaaa", "B"}},
        {"truncated", std::string(15, 'a') + "\r\nB\r\n", truncate, {std::string(10, 'a'), "B"}},
        {"empty lines count", "\r\n\r\n", {}, {"", ""}},
        {"full last line", std::string(10, 'a') + "\r\n", {}, {std::string(10, 'a')}},
        {"full line then its LF", std::string(10, 'a') + "\nB\n", {}, {std::string(10, 'a'), "B"}},
        {"truncated at a CR alone",
         std::string(15, 'a') + "\rB\r",
         truncate,
         {std::string(10, 'a'), "B"}},
    };
    for (const Row& r : rows) {
        const Built b = TextFix(r.text, 10, r.settings);
        std::vector<std::string> expected;
        for (const auto& e : r.records)
            expected.push_back(Padded(e, 10));
        EXPECT_EQ(FixRecords(b, 10), expected) << r.what;
    }
    // DF128: two records a sector.
    const Built b = TextFix("A\r\nB\r\nC\r\n", 128);
    EXPECT_EQ(b.totals.sectors, 2);
    EXPECT_EQ(b.totals.records, 3);
}

TEST(TextImport, TabExpansion) {
    TextImportSettings tabs;
    tabs.replaceTabs = true;
    tabs.tabStops = {8, 16, 4};
    struct Row {
        std::string text;
        std::string record;
    } rows[] = {
        {"A\tB", "A       B"},
        {std::string(20, 'x') + "\tB", std::string(20, 'x') + "    B"},
        {"\t\tC", std::string(16, ' ') + "C"},
        {std::string(78, 'x') + "\tZ", std::string(78, 'x') + "  "},  // up to the record's end
    };
    for (const Row& r : rows) {
        const Built b = TextVar(r.text, 80, tabs);
        ASSERT_FALSE(VarRecords(b.sectors, 80).empty()) << r.text;
        EXPECT_EQ(VarRecords(b.sectors, 80)[0], r.record) << r.text;
    }
    // Without stops, or without the flag, a TAB is kept.
    TextImportSettings noStops;
    noStops.replaceTabs = true;
    EXPECT_EQ(VarRecords(TextVar("A\tB", 80, noStops).sectors, 80)[0], "A\tB");
    EXPECT_EQ(VarRecords(TextVar("A\tB", 80).sectors, 80)[0], "A\tB");
}

TEST(Conversion, ExportedDataImportBackToTheSameSectors) {
    // Variable records in whole sectors as a TI controller fills them (a record goes to the
    // next sector when it would leave no room for the mark), exported packed and imported again.
    std::vector<Bytes> sectors;
    Bytes sector(256, 0);
    int at = 0;
    for (int r = 0; r < 40; ++r) {
        const int length = (r * 37) % 81;
        if (at + length >= 255) {
            sector[static_cast<size_t>(at)] = 0xFF;
            sectors.push_back(sector);
            sector.assign(256, 0);
            at = 0;
        }
        sector[static_cast<size_t>(at)] = static_cast<uint8_t>(length);
        std::memset(sector.data() + at + 1, 'a' + r % 26, static_cast<size_t>(length));
        at += length + 1;
    }
    sector[static_cast<size_t>(at)] = 0xFF;
    sectors.push_back(sector);
    Bytes fdr(256, 0);
    fdr[12] = 0x80;
    fdr[15] = static_cast<uint8_t>(sectors.size());
    fdr[17] = 80;
    CMemorySectorFeed feed(sectors);
    Bytes packed;
    ASSERT_TRUE(BuildExportData(fdr.data(), feed, false, packed));
    EXPECT_EQ(Variable(packed, 80).sectors, sectors);
}

}  // namespace
}  // namespace tavik
