#include "base/PcFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/AtomicFile.h"
#include "support/TestSupport.h"

using namespace tavik;

TEST(PcFile, MemFileReadsShortPastTheEndAndGrowsOnWrite) {
    CMemFile f({1, 2, 3});
    uint8_t buf[8] = {};
    EXPECT_EQ(f.ReadAt(1, buf, 8), 2);
    EXPECT_EQ(buf[0], 2);
    EXPECT_EQ(f.ReadAt(5, buf, 8), 0);
    EXPECT_EQ(f.ReadAt(0, nullptr, 0), 0);  // an empty vector's data()
    EXPECT_EQ(f.WriteAt(6, buf, 2), 2);
    EXPECT_EQ(f.Length(), 8);
    f.SetCapacityLimit(10);
    EXPECT_EQ(f.WriteAt(9, buf, 2), -1);
    EXPECT_FALSE(f.SetLength(11));
}

TEST(PcFile, DiskFileReopensAfterThePoolClosedIt) {
    std::string dir = test::TempFolder();
    CDiskFile::SetPoolLimit(4);
    std::vector<std::unique_ptr<CDiskFile>> files;
    for (int i = 0; i < 20; ++i) {
        auto f = CDiskFile::Create(dir + "/f" + std::to_string(i));
        ASSERT_TRUE(f);
        uint8_t b = static_cast<uint8_t>(i);
        ASSERT_EQ(f->WriteAt(0, &b, 1), 1);
        files.push_back(std::move(f));
        EXPECT_LE(CDiskFile::OpenDescriptorCount(), 4u);
    }
    for (int i = 0; i < 20; ++i) {
        uint8_t b = 0xFF;
        ASSERT_EQ(files[i]->ReadAt(0, &b, 1), 1);
        EXPECT_EQ(b, i);
    }
    CDiskFile::SetPoolLimit(256);
}

TEST(PcFile, ReadOnlyFileRefusesWrites) {
    std::string path = test::TempFolder() + "/ro";
    ASSERT_TRUE(WriteWholeFile(path, {1, 2, 3}));
    auto f = CDiskFile::Open(path, OpenMode::ReadOnly);
    ASSERT_TRUE(f);
    uint8_t b = 9;
    EXPECT_EQ(f->WriteAt(0, &b, 1), -1);
    EXPECT_FALSE(f->SetLength(0));
    EXPECT_FALSE(CDiskFile::Open(test::TempFolder(), OpenMode::ReadOnly));  // a folder
}

TEST(AtomicFile, KeepsTheOldContentWhenTheWriterFailsOrTheRenameIsCut) {
    std::string path = test::TempFolder() + "/img";
    ASSERT_TRUE(WriteWholeFile(path, {1, 2, 3}));
    EXPECT_FALSE(ReplaceFileAtomically(path, [](CPcFile& f) {
        uint8_t b[2] = {7, 7};
        f.WriteAt(0, b, 2);
        return false;
    }));
    FailNextReplacementForTesting();
    EXPECT_FALSE(ReplaceFileAtomically(path, [](CPcFile& f) {
        uint8_t b[2] = {7, 7};
        return f.WriteAt(0, b, 2) == 2;
    }));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                  std::filesystem::directory_iterator()),
              1);
    EXPECT_TRUE(ReplaceFileAtomically(path, [](CPcFile& f) {
        uint8_t b[2] = {7, 7};
        return f.WriteAt(0, b, 2) == 2;
    }));
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{7, 7}));
}
