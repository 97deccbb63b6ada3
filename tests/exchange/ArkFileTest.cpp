#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "disk/Layout.h"
#include "exchange/ArkFile.h"
#include "exchange/ArkLzw.h"

namespace tavik {
namespace {

std::vector<uint8_t> Noise(size_t n, uint32_t seed) {
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& stream, ArkLzwState& state) {
    CArkLzwDecoder decoder(stream.data(), stream.size());
    state = decoder.DecodeUntil(SIZE_MAX);
    return decoder.Output();
}

// A stream may end at any edge of the code table: where the codes widen (the writer's end code
// keeps the old width there), where a full table is cleared, and just before and after.
TEST(ArkLzw, StreamsEndingAtEveryEdgeOfTheTableComeBackWhole) {
    const std::vector<uint8_t> noise = Noise(6000, 7);
    const std::vector<uint8_t> whole = ArkCompress(noise.data(), noise.size());
    // Where the string of each code ends: the data up to there takes exactly that many codes.
    std::vector<size_t> ends;
    CArkLzwDecoder decoder(whole.data(), whole.size());
    for (ArkLzwState state = ArkLzwState::Running; state == ArkLzwState::Running;) {
        const size_t had = decoder.Output().size();
        state = decoder.DecodeUntil(had + 1);
        if (decoder.Output().size() > had) ends.push_back(decoder.Output().size());
    }
    ASSERT_GT(ends.size(), 3845u);
    // The codes widen after 255, 767 and 1791 codes; the table is full after 3839.
    for (size_t edge : {255u, 767u, 1791u, 3839u}) {
        for (size_t codes = edge - 2; codes <= edge + 3; ++codes) {
            const size_t length = ends[codes - 1];
            const std::vector<uint8_t> stream = ArkCompress(noise.data(), length);
            ASSERT_EQ(stream.size() % 256, 0u);
            ArkLzwState state{};
            ASSERT_EQ(Decode(stream, state),
                      std::vector<uint8_t>(noise.begin(), noise.begin() + length))
                << codes;
            ASSERT_EQ(state, ArkLzwState::Ended) << codes;
        }
    }
}

TEST(ArkLzw, RepeatsAndRunsComeBackWhole) {
    for (const std::string& text : {std::string("A"), std::string("ABABABABABABABABAB"),
                                    std::string(70000, 'Z'), std::string(3000, '\0') + "END!"}) {
        ArkLzwState state{};
        const auto bytes = reinterpret_cast<const uint8_t*>(text.data());
        EXPECT_EQ(Decode(ArkCompress(bytes, text.size()), state),
                  std::vector<uint8_t>(bytes, bytes + text.size()));
        EXPECT_EQ(state, ArkLzwState::Ended);
    }
}

TiFileImage Member(const char* name, uint8_t status, uint8_t recordLength, int sectors,
                   uint32_t seed) {
    TiFileImage f;
    std::memset(f.file.name.data(), ' ', 10);
    std::memcpy(f.file.name.data(), name, std::strlen(name));
    f.file.status = status;
    f.file.recordLength = recordLength;
    f.file.recordsPerSector = recordLength ? static_cast<uint8_t>(256 / recordLength) : 0;
    f.file.sectors = static_cast<uint16_t>(sectors);
    f.file.records = static_cast<uint16_t>(sectors * f.file.recordsPerSector);
    f.data = Noise(static_cast<size_t>(sectors) * 256, seed);
    return f;
}

// Three files; 17 of them fill a second directory sector.
CArkFile SampleArk(bool compressed, int files = 3) {
    CArkFile ark;
    ark.compressed = compressed;
    std::string error;
    const TiFileImage kinds[] = {Member("PROG", 0x01, 0, 3, 1), Member("DATA", 0x02, 64, 2, 2),
                                 Member("TEXT", 0x80, 80, 4, 3)};
    for (int i = 0; i < files; ++i) {
        TiFileImage f = kinds[i % 3];
        if (i >= 3) f.file.name[5] = static_cast<uint8_t>('A' + i);
        EXPECT_TRUE(ark.Add(f, false, error)) << error;
    }
    return ark;
}

TEST(ArkFile, BothFormsAndLongDirectoriesReadBack) {
    for (bool compressed : {true, false}) {
        for (int files : {0, 3, 14, 17}) {
            const CArkFile ark = SampleArk(compressed, files);
            const std::vector<uint8_t> bytes = ark.Bytes();
            CArkFile back;
            std::string error;
            ASSERT_TRUE(back.Parse(bytes.data(), bytes.size(), error)) << error;
            EXPECT_EQ(back.compressed, compressed);
            ASSERT_EQ(back.members.size(), ark.members.size());
            for (size_t i = 0; i < ark.members.size(); ++i) {
                const FileProperties &a = ark.members[i].image.file,
                                     &b = back.members[i].image.file;
                EXPECT_EQ(a.name, b.name);
                EXPECT_EQ(std::tie(a.status, a.recordLength, a.recordsPerSector, a.sectors,
                                   a.records, a.eofOffset),
                          std::tie(b.status, b.recordLength, b.recordsPerSector, b.sectors,
                                   b.records, b.eofOffset));
                EXPECT_EQ(back.members[i].image.data, ark.members[i].image.data);
            }
            EXPECT_EQ(back.FirstDamage(), "");
            EXPECT_TRUE(LooksLikeArk(bytes.data()));
        }
    }
    // Members stay in name order whatever order they come in.
    const CArkFile ark = SampleArk(true);
    EXPECT_EQ(ark.members[0].image.file.name[0], 'D');
    EXPECT_EQ(ark.members[2].image.file.name[0], 'T');
}

// Directory entry of member k of a plain archive (one directory sector).
uint8_t* Entry(std::vector<uint8_t>& plain, int k) {
    return plain.data() + 18 * k;
}

struct DamageCase {
    const char* what;
    bool compressed;
    std::function<void(std::vector<uint8_t>&)> plain;   // before compression
    std::function<void(std::vector<uint8_t>&)> stream;  // the stored bytes
    bool opens;
    std::string message;  // FirstDamage() when it opens, else Parse's error
};

TEST(ArkFile, DamagedArchivesNameTheFileAndKeepTheOthers) {
    auto none = [](std::vector<uint8_t>&) {};
    auto cutLastSector = [](std::vector<uint8_t>& b) { b.resize(b.size() - 256); };
    // Entries in name order: DATA (2 sectors), PROG (3), TEXT (4).
    auto addSector = [](std::vector<uint8_t>& p) { layout::SetBe16(Entry(p, 1) + 12, 4); };
    auto dropSector = [](std::vector<uint8_t>& p) { layout::SetBe16(Entry(p, 1) + 12, 2); };
    const std::string ends = "TEXT: The archive ends inside this file";
    const std::string more = "TEXT: The archive holds more data than the directory gives this file";
    const DamageCase cases[] = {
        {"plain, cut short", false, none, cutLastSector, true, ends},
        {"compressed, cut short", true, none,
         [](std::vector<uint8_t>& b) { b.resize(b.size() * 3 / 4); }, true, ends},
        {"plain, a file's sectors counted high", false, addSector, none, true, ends},
        {"compressed, a file's sectors counted high", true, addSector, none, true, ends},
        {"plain, a file's sectors counted low", false, dropSector, none, true, more},
        {"compressed, a file's sectors counted low", true, dropSector, none, true, more},
        {"records beyond the sectors", false,
         [](std::vector<uint8_t>& p) { layout::SetLe16(Entry(p, 0) + 16, 9); }, none, true,
         "DATA: The directory gives this file more records than its sectors hold"},
        {"a huge sector count", true,
         [](std::vector<uint8_t>& p) { layout::SetBe16(Entry(p, 1) + 12, 5000); }, none, false,
         "PROG: The directory gives this file 5000 sectors"},
        {"a code that names no string", true, none,
         [](std::vector<uint8_t>& b) { std::fill(b.begin() + 700, b.end(), 0xFF); }, true,
         "PROG: The compressed data is damaged in this file"},
        {"compressed directory cut short", true, none,
         [](std::vector<uint8_t>& b) { b.resize(40); }, false,
         "The archive's directory is damaged"},
        {"no end mark", false, none,
         [](std::vector<uint8_t>& b) { std::memcpy(b.data() + 252, "END?", 4); }, false,
         "This is no Archiver file"},
        {"noise", false, none, [](std::vector<uint8_t>& b) { b = Noise(b.size(), 5); }, false,
         "This is no Archiver file"},
    };
    for (const DamageCase& c : cases) {
        CArkFile plain = SampleArk(false);
        std::vector<uint8_t> bytes = plain.Bytes();
        c.plain(bytes);
        if (c.compressed) bytes = ArkCompress(bytes.data(), bytes.size());
        c.stream(bytes);
        CArkFile ark;
        std::string error;
        ASSERT_EQ(ark.Parse(bytes.data(), bytes.size(), error), c.opens ? 1 : 0) << c.what;
        EXPECT_EQ(c.opens ? ark.FirstDamage() : error, c.message) << c.what;
        // The first file lies before every damage that leaves the archive readable.
        if (c.opens) {
            EXPECT_EQ(ark.members.at(0).image.data, plain.members[0].image.data) << c.what;
        }
    }
}

}  // namespace
}  // namespace tavik
