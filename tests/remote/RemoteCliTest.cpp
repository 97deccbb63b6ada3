#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "EmulatorPeer.h"
#include "PtyPeer.h"
#include "VirtualTi.h"
#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun RunWords(std::vector<std::string> words) {
    std::ostringstream out, err;
    int code = cli::RunCli(words, out, err);
    return {code, out.str(), err.str()};
}

class RemoteCli : public ::testing::Test {
protected:
    RemoteCli() : folder(test::TempFolder()), pty(vti, vti.Mutex()) {
        // A small disk keeps the byte-by-byte copies over the pseudo-terminal short.
        test::CImageBuilder one(64);
        one.SetName("CLIDISK");
        one.AddFile(test::BuiltFile::Program("HELLO", Bytes(700, 0x5A)));
        EXPECT_TRUE(WriteWholeFile(folder + "/one.dsk", one.Image()));
        EXPECT_TRUE(WriteWholeFile(folder + "/two.dsk", test::CImageBuilder(64).Image()));
        test::VirtualCard card;
        card.drives[1].imagePath = folder + "/one.dsk";
        card.drives[2].imagePath = folder + "/two.dsk";
        vti.AddCard(card);
    }
    std::vector<std::string> Words(std::vector<std::string> words) {
        for (const char* w : {"--mode", "serial", "--baud", "38400", "--timeout", "300", "--port"})
            words.push_back(w);
        words.push_back(pty.SlavePath());
        return words;
    }
    Bytes File(const std::string& name) {
        Bytes b;
        ReadWholeFile(folder + "/" + name, b);
        return b;
    }

    std::string folder;
    test::CVirtualTi vti;
    test::CPtyPeer pty;
};

TEST_F(RemoteCli, ScanDirAndDiskCopiesOverTheSerialCable) {
    CliRun scan = RunWords(Words({"remote", "scan"}));
    ASSERT_EQ(scan.code, cli::kExitOk) << scan.err;
    EXPECT_NE(scan.out.find("CRU >1100  DSK1  CLIDISK"), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("CRU >1100  DSK3"), std::string::npos) << scan.out;

    CliRun dir = RunWords(Words({"remote", "dir", "DSK1"}));
    ASSERT_EQ(dir.code, cli::kExitOk) << dir.err;
    EXPECT_NE(dir.out.find("Disk CLIDISK"), std::string::npos) << dir.out;
    EXPECT_NE(dir.out.find("HELLO"), std::string::npos) << dir.out;

    CliRun read = RunWords(Words({"remote", "read-disk", "DSK1", folder + "/out.dsk"}));
    ASSERT_EQ(read.code, cli::kExitOk) << read.err;
    // The new image has the standard size of its format; the disk's 64 sectors lead it.
    const Bytes out = File("out.dsk");
    ASSERT_EQ(out.size(), 360u * 256u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 64 * 256), File("one.dsk"));

    CliRun write = RunWords(Words({"remote", "write-disk", folder + "/one.dsk", "DSK2"}));
    ASSERT_EQ(write.code, cli::kExitOk) << write.err;
    EXPECT_EQ(File("two.dsk"), File("one.dsk"));
}

TEST_F(RemoteCli, FailuresLeaveNoImage) {
    EXPECT_EQ(RunWords(Words({"remote", "dir", "DSKX1"})).code, cli::kExitUsage);
    EXPECT_EQ(RunWords(Words({"remote", "frobnicate"})).code, cli::kExitUsage);
    EXPECT_EQ(RunWords({"remote", "scan", "--mode", "telepathy"}).code, cli::kExitFailed);
    CliRun missing = RunWords({"remote", "scan", "--mode", "serial", "--port", folder + "/none"});
    EXPECT_EQ(missing.code, cli::kExitFailed);
    EXPECT_NE(missing.err.find("Cannot access serial port"), std::string::npos) << missing.err;

    {
        std::lock_guard<std::mutex> lock(vti.Mutex());
        vti.SetAnswerLimit(1500);  // the TI stops answering part of the way through the disk
    }
    CliRun read = RunWords(Words({"remote", "read-disk", "DSK1", folder + "/half.dsk"}));
    EXPECT_EQ(read.code, cli::kExitFailed);
    EXPECT_NE(read.err.find("Problem with remote TI-99/4A."), std::string::npos) << read.err;
    EXPECT_FALSE(std::filesystem::exists(folder + "/half.dsk"));
}

TEST(RemoteCliEmulator, EmulatorDrives) {
    const std::string folder = test::TempFolder();
    test::CImageBuilder one;
    one.SetName("EMUDISK");
    ASSERT_TRUE(WriteWholeFile(folder + "/one.dsk", one.Image()));
    test::CEmulatorPeer peer(folder);
    peer.drives['1'] = {folder + "/one.dsk", 0x10};
    peer.floppies = "one.dsk";
    ASSERT_TRUE(peer.Start(true, false));
    CliRun scan = RunWords({"remote", "scan", "--emulator-drives", "--channel-folder", folder});
    ASSERT_EQ(scan.code, cli::kExitOk) << scan.err;
    EXPECT_EQ(scan.out, "DSK1 [EMUDISK]\nFloppies\none.dsk\n");
    CliRun read = RunWords({"remote", "read-disk", "DSK1", folder + "/copy.dsk",
                            "--emulator-drives", "--channel-folder", folder});
    ASSERT_EQ(read.code, cli::kExitOk) << read.err;
    Bytes a, b;
    ReadWholeFile(folder + "/copy.dsk", a);
    ReadWholeFile(folder + "/one.dsk", b);
    EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace tavik
