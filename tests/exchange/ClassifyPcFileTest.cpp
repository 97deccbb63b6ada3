#include "exchange/ClassifyPcFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/PcFile.h"
#include "disk/HfeImage.h"
#include "exchange/PcFileHeader.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Vib(const char* name, int total, int sides, int density) {
    Bytes v(256, 0);
    std::memset(v.data(), ' ', 10);
    std::memcpy(v.data(), name, std::strlen(name));
    v[10] = static_cast<uint8_t>(total >> 8);
    v[11] = static_cast<uint8_t>(total);
    std::memcpy(v.data() + 13, "DSK", 3);
    v[18] = static_cast<uint8_t>(sides);
    v[19] = static_cast<uint8_t>(density);
    return v;
}

Bytes Fdr(const char* name, uint8_t status, int rps, int sectors, int eof, int rl, int records) {
    Bytes f(256, 0);
    std::memset(f.data(), ' ', 10);
    std::memcpy(f.data(), name, std::strlen(name));
    f[12] = status;
    f[13] = static_cast<uint8_t>(rps);
    f[14] = static_cast<uint8_t>(sectors >> 8);
    f[15] = static_cast<uint8_t>(sectors);
    f[16] = static_cast<uint8_t>(eof);
    f[17] = static_cast<uint8_t>(rl);
    f[18] = static_cast<uint8_t>(records);
    f[19] = static_cast<uint8_t>(records >> 8);
    return f;
}

// A track image's first bytes with the VIB placed where its first sector's data lie.
Bytes TrackStart(bool mfm, bool ffPreamble, const Bytes& vib) {
    Bytes b(256, 0);
    if (mfm) {
        std::memset(b.data(), 0x4E, 40);
        std::memcpy(b.data() + 98, vib.data(), 128 - 98);
    } else {
        if (ffPreamble) std::memset(b.data(), 0xFF, 16);
        b[22] = 0xFE;
        std::memcpy(b.data() + 47, vib.data(), 128 - 47);
    }
    return b;
}

PcFileClass Classify(const Bytes& b, const std::string& name = "SOME.BIN") {
    return ClassifyPcBytes(b.data(), b.size(), name);
}

TEST(ClassifyPcFile, RecognisesWholeDisks) {
    struct Row {
        const char* what;
        Bytes bytes;
        int kind;
        int sectors;
        uint16_t flags;
    } rows[] = {
        {"sector dump", Vib("WORK", 720, 2, 1), SectorDump, 720, 0x0201},
        {"FM image", TrackStart(false, false, Vib("WORK", 360, 1, 1)), TrackImageSingle, 360,
         0x0101},
        {"FM image, 0xFF preamble", TrackStart(false, true, Vib("WORK", 720, 2, 1)),
         TrackImageSingle, 720, 0x0201},
        {"MFM image", TrackStart(true, false, Vib("WORK", 1440, 2, 2)), TrackImageDouble, 1440,
         0x0202},
    };
    for (const Row& r : rows) {
        const PcFileClass c = Classify(r.bytes);
        EXPECT_EQ(c.kind, r.kind) << r.what;
        EXPECT_EQ(c.tiName, "WORK") << r.what;
        EXPECT_EQ(c.sectors, r.sectors) << r.what;
        EXPECT_EQ(c.flags, r.flags) << r.what;
        EXPECT_EQ(c.recordLength, 0) << r.what;
        EXPECT_TRUE(IsDiskKind(c.kind)) << r.what;
    }
    // Sides or density of 3 and more is no VIB.
    EXPECT_EQ(Classify(Vib("WORK", 720, 3, 1)).kind, PlainFile);

    // An HFE image: the header tells sides and density, the VIB is encoded in the first track.
    CMemFile hfe(BuildHfeImage({40, 2, true}, Vib("WORK", 1440, 2, 2)));
    const PcFileClass c = ClassifyPcFile(hfe, "WORK.HFE");
    EXPECT_EQ(c.kind, HfeDisk);
    EXPECT_EQ(FormatText(c.kind), "HFE");
    EXPECT_EQ(c.tiName, "WORK");
    EXPECT_EQ(c.sectors, 1440);
    EXPECT_EQ(c.flags, 0x0202);
    EXPECT_EQ(Classify(hfe.Bytes()).flags, 0x0202);
    EXPECT_TRUE(IsDiskKind(c.kind));
}

TEST(ClassifyPcFile, HeadersAsWrittenAreReadBack) {
    const Bytes df80 = Fdr("LINES", 0x00, 3, 2, 0, 80, 5);
    const Bytes dv80 = Fdr("NOTES", 0x80 | 0x08, 3, 4, 0x9A, 80, 4);
    const Bytes prog = Fdr("GAME", 0x01, 0, 33, 0x12, 0, 0);
    for (const Bytes* fdr : {&df80, &dv80, &prog}) {
        for (int kind : {HeaderFiad, HeaderTifiles}) {
            const PcHeader h =
                kind == HeaderFiad ? MakeFiadHeader(fdr->data()) : MakeTifilesHeader(fdr->data());
            const PcFileClass c = Classify(Bytes(h.begin(), h.end()));
            const std::string what = std::string(reinterpret_cast<const char*>(fdr->data()), 10);
            EXPECT_EQ(c.kind, kind == HeaderFiad ? FiadFile : TifilesFile) << what;
            EXPECT_EQ(c.tiName, what.substr(0, what.find(' '))) << what;
            EXPECT_EQ(c.flags, (*fdr)[12]) << what;
            EXPECT_EQ(c.recordLength, (*fdr)[17]) << what;
            EXPECT_EQ(c.sectors, (*fdr)[14] << 8 | (*fdr)[15]) << what;
            EXPECT_EQ(c.headerRecords, (*fdr)[18] | (*fdr)[19] << 8) << what;
            EXPECT_EQ(c.headerEofOffset, (*fdr)[16]) << what;
            EXPECT_EQ(c.dataOffset, 128) << what;
        }
    }
    // The FIAD header keeps the first 28 FDR bytes, stamps included; TIFILES only its fields.
    Bytes stamped = df80;
    stamped[20] = 0x12;
    stamped[27] = 0x34;
    const PcHeader fiad = MakeFiadHeader(stamped.data());
    EXPECT_TRUE(std::equal(fiad.begin(), fiad.begin() + 28, stamped.begin()));
    EXPECT_TRUE(std::all_of(fiad.begin() + 28, fiad.end(), [](uint8_t b) { return b == 0; }));
    const PcHeader tif = MakeTifilesHeader(stamped.data());
    EXPECT_TRUE(std::all_of(tif.begin() + 26, tif.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ClassifyPcFile, TifilesNameAndMagic) {
    PcHeader h = MakeTifilesHeader(Fdr("ABCDEFGHIJ", 0x00, 3, 1, 0, 80, 3).data());
    h[0] = 0x55;  // only the letters count
    EXPECT_EQ(Classify(Bytes(h.begin(), h.end())).kind, TifilesFile);
    EXPECT_EQ(Classify(Bytes(h.begin(), h.end())).tiName, "ABCDEFGHIJ");
    h[25] = 0;  // a bad tenth byte keeps the nine before it
    EXPECT_EQ(Classify(Bytes(h.begin(), h.end())).tiName, "ABCDEFGHI");
    std::fill(h.begin() + 16, h.begin() + 26, 0);
    EXPECT_EQ(Classify(Bytes(h.begin(), h.end()), "/x/my.file.tfi").tiName, "my.file");
}

// Stamps at 20-27, as every FIAD writer copies them from the FDR.
Bytes Stamped(Bytes fdr) {
    for (int k = 20; k < 28; ++k)
        fdr[static_cast<size_t>(k)] = static_cast<uint8_t>(0x50 + k);
    return fdr;
}

TEST(ClassifyPcFile, FiadHeadersOfEachWriterAndImplausibleOnes) {
    struct Row {
        const char* what;
        Bytes fdr;
        int kind;
    } rows[] = {
        {"DF80", Fdr("A", 0x00, 3, 2, 0, 80, 5), FiadFile},
        {"DF1 copied from a TI disk", Stamped(Fdr("F1", 0x00, 0, 1, 0, 1, 7)), FiadFile},
        {"DF80 of 8 records with the last sector's EOF offset",
         Stamped(Fdr("A", 0x00, 3, 3, 160, 80, 8)), FiadFile},
        {"IF128 of 4 records, the last sector full", Stamped(Fdr("A", 0x02, 2, 2, 0, 128, 4)),
         FiadFile},
        {"DF10 of 10 records with its EOF offset", Fdr("A", 0x00, 25, 1, 100, 10, 10), FiadFile},
        {"DF80 with an EOF offset of no last sector", Fdr("A", 0x00, 3, 3, 80, 80, 8), PlainFile},
        {"DF80 with EOF offset but wrong records per sector", Fdr("A", 0x00, 2, 3, 160, 80, 8),
         PlainFile},
        {"DV1 leaving room for the end mark", Stamped(Fdr("A", 0x80, 254, 1, 9, 1, 1)), FiadFile},
        {"DV255 leaving room for the end mark", Fdr("A", 0x80, 0, 2, 0, 255, 2), FiadFile},
        {"DV1 as a TI controller writes it", Fdr("A", 0x80, 128, 1, 9, 1, 1), FiadFile},
        {"DF80 with EOF offset", Fdr("A", 0x00, 3, 2, 7, 80, 5), PlainFile},
        {"more than 1600 sectors", Fdr("A", 0x00, 3, 1601, 0, 80, 5), PlainFile},
        {"1600 sectors", Fdr("A", 0x02, 3, 1600, 0, 80, 5), FiadFile},
        {"program with record length", Fdr("A", 0x01, 0, 2, 9, 80, 0), PlainFile},
        {"DV80 records unlike sectors", Fdr("A", 0x80, 3, 2, 9, 80, 3), PlainFile},
        {"DV80 bad records per sector", Fdr("A", 0x80, 4, 2, 9, 80, 2), PlainFile},
        {"DV64 as a TI controller writes it", Fdr("A", 0x80, 3, 2, 9, 64, 2), FiadFile},
        {"IV254", Fdr("A", 0x82, 1, 2, 9, 254, 2), FiadFile},
        {"invalid type 0x81", Fdr("A", 0x81, 0, 2, 9, 0, 2), PlainFile},
        {"control character in name", Fdr("A\x01", 0x00, 3, 2, 0, 80, 5), PlainFile},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Classify(r.fdr).kind, r.kind) << r.what;
}

TEST(ClassifyPcFile, PlainFilesTakeTheirTypeFromTheExtension) {
    struct Row {
        const char* name;
        const char* tiName;
        uint8_t status;
        int rl;
    } rows[] = {
        {"hello.prg", "HELLO", 0x01, 0},
        {"/a/b/Data.DF80", "DATA", 0x00, 80},
        {"x.dv0x50", "X", 0x80, 80},
        {"x.iv012", "X", 0x82, 10},
        {"x.IF", "X", 0x02, 0},
        {"x.txt", "X", 0x01, 0},
        {"READ.ME.DV80", "READ.ME", 0x80, 80},
        {"DF128", "DF128", 0x00, 128},
    };
    const Bytes garbage(300, 0x41);
    for (const Row& r : rows) {
        const PcFileClass c = Classify(garbage, r.name);
        EXPECT_EQ(c.kind, PlainFile) << r.name;
        EXPECT_EQ(c.tiName, r.tiName) << r.name;
        EXPECT_EQ(c.flags, r.status) << r.name;
        EXPECT_EQ(c.recordLength, r.rl) << r.name;
        EXPECT_EQ(c.sectors, -1) << r.name;
        EXPECT_EQ(c.dataOffset, 0) << r.name;
    }
}

TEST(ClassifyPcFile, ShortFilesReadAsZeroBeyondTheirEnd) {
    // The first 10 bytes are printable and the rest reads as zero: a plausible empty program.
    Bytes shortFiad(20, 0);
    std::memset(shortFiad.data(), 'A', 10);
    shortFiad[12] = 0x01;
    CMemFile f(shortFiad);
    EXPECT_EQ(ClassifyPcFile(f, "a.bin").kind, FiadFile);
    CMemFile empty;
    EXPECT_EQ(ClassifyPcFile(empty, "empty.df80").kind, PlainFile);
    const Bytes magic = {0x07, 'T', 'I', 'F', 'I', 'L', 'E', 'S'};
    EXPECT_EQ(Classify(magic, "cut.tfi").kind, TifilesFile);
    EXPECT_EQ(Classify(magic, "cut.tfi").tiName, "cut");
}

TEST(ClassifyPcFile, PeerFilesHaveTheirHeaders) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/files");
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(entry.path().string(), bytes));
        const PcFileClass c = Classify(bytes, entry.path().filename().string());
        const bool tifiles = entry.path().extension() == ".tfi";
        EXPECT_EQ(c.kind, tifiles ? TifilesFile : FiadFile) << entry.path();
        EXPECT_EQ(c.tiName, entry.path().stem().string()) << entry.path();
        EXPECT_EQ(bytes.size(), 128u + 256u * static_cast<size_t>(c.sectors)) << entry.path();
        ++seen;
    }
    EXPECT_GE(seen, 8);
}

}  // namespace
}  // namespace tavik
