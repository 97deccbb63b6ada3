#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RemoteRig.h"
#include "base/PcFile.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::CRemoteRig;
using test::CVirtualTi;
using test::Transport;
using Bytes = std::vector<uint8_t>;

// The simulated parallel port runs the TI on this thread, so what the TI received can be
// compared byte for byte right after each command.
class RemoteTiBytes : public ::testing::Test {
protected:
    RemoteTiBytes() : rig(Transport::Parallel, test::TempFolder()) {
        test::VirtualCard card;
        card.cru = 0x1100;
        rig.vti.AddCard(card);
        EXPECT_TRUE(rig.ti.Link().Open(false));
        EXPECT_TRUE(rig.ti.Where());
        rig.vti.ClearTraffic();
    }
    Bytes Sent() {
        Bytes b = rig.vti.Received();
        rig.vti.ClearTraffic();
        return b;
    }
    CRemoteRig rig;
};

TEST_F(RemoteTiBytes, CardSpaceReadWord) {
    EXPECT_EQ(rig.ti.ReadWord(0x4000, 0x1100), 0xAA01);
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x06, 0x11, 0x00, 0x00, 0x02, 0x40, 0x00}));
    EXPECT_EQ(rig.ti.ReadByte(0x4000, 0x1100), 0xAA);
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x06, 0x11, 0x00, 0x00, 0x01, 0x40, 0x00}));
    EXPECT_FALSE(rig.vti.CruBit(0x1100));  // the card is switched off again
    // A CRU base outside 0..>1FFF means plain CPU memory.
    rig.vti.SetCpuWord(0xB000, 0x1234);
    EXPECT_EQ(rig.ti.ReadWord(0xB000, -1), 0x1234);
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x00, 0xB0, 0x00}));
}

TEST_F(RemoteTiBytes, WritesSendTheAddressedByte) {
    EXPECT_TRUE(rig.ti.WriteByte(0xA001 + 0x1000, 0x0012));
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x08, 0xB0, 0x01, 0x12}));
    EXPECT_EQ(rig.vti.Cpu(0xB001), 0x12);
    EXPECT_TRUE(rig.ti.WriteWord(0xB010, 0xBEEF));
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x08, 0xB0, 0x10, 0xBE, 0xEF}));
    EXPECT_EQ(rig.vti.CpuWord(0xB010), 0xBEEF);
    EXPECT_TRUE(rig.ti.WriteWord(0x4000, 0x0102, 0x1100));
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x0E, 0x11, 0x00, 0x00, 0x02, 0x40, 0x00, 0x01, 0x02}));
    EXPECT_TRUE(rig.ti.WriteByte(0x4000, 0x3456, 0x1100));  // even address: the high byte
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x0E, 0x11, 0x00, 0x00, 0x01, 0x40, 0x00, 0x34}));
}

TEST_F(RemoteTiBytes, CruBits) {
    EXPECT_TRUE(rig.ti.PokeCru(0x1E00, 5, 3));
    EXPECT_EQ(Sent(),
              (Bytes{0x00, 0x12, 0x1E, 0x00, 0x00, 0x10, 0x1E, 0x02, 0x00, 0x12, 0x1E, 0x04}));
    EXPECT_TRUE(rig.vti.CruBit(0x1E00));
    EXPECT_FALSE(rig.vti.CruBit(0x1E02));
    EXPECT_TRUE(rig.vti.CruBit(0x1E04));
    // Peeking builds the value most significant first: bits 1, 0, 1 read as 0b101.
    EXPECT_EQ(rig.ti.PeekCru(0x1E00, 3), 5);
    EXPECT_TRUE(rig.ti.PokeCru(0x1E00, 6, 3));  // bits 0, 1, 1
    EXPECT_EQ(rig.ti.PeekCru(0x1E00, 3), 3);    // read back 0, 1, 1
    EXPECT_EQ(rig.ti.TestBit(0x1E02), 1);
    EXPECT_EQ(Sent().back(), 0x02);
}

TEST_F(RemoteTiBytes, GromAddressAndBlocks) {
    ASSERT_TRUE(rig.ti.SetGromAddress(0x6000));
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x0C, 0x00, 0x02, 0x9C, 0x02, 0x60, 0x00}));
    EXPECT_EQ(rig.ti.GetGromAddress(), 0x6000);  // the port reads 60 01
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x04, 0x00, 0x02, 0x98, 0x02}));

    // A GROM block read leaves the GROM address where it was.
    ASSERT_TRUE(rig.ti.SetGromAddress(0x1234));
    uint8_t block[8];
    ASSERT_EQ(rig.ti.ReadMemory(SpaceGrom, 0x6010, 8, 0, 0, block), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(block[i], rig.vti.Grom(0x6010 + i)) << i;
    EXPECT_EQ(rig.ti.GetGromAddress(), 0x1234);
    const uint8_t gram[3] = {1, 2, 3};
    ASSERT_EQ(rig.ti.WriteMemory(SpaceGrom, 0x7000, 3, 0, 0, gram), 3);
    EXPECT_EQ(rig.vti.Grom(0x7000), 1);
    EXPECT_EQ(rig.vti.Grom(0x7002), 3);
    // Page -1 takes the GROM base from >83FA.
    ASSERT_EQ(rig.ti.ReadMemory(SpaceGrom, 0x6010, 2, 0, -1, block), 2);
    EXPECT_EQ(block[1], rig.vti.Grom(0x6011));
}

TEST_F(RemoteTiBytes, VdpAndCpuBlocks) {
    const uint8_t data[5] = {9, 8, 7, 6, 5};
    ASSERT_EQ(rig.ti.WriteMemory(SpaceVdp, 0x2000, 5, 0, 0, data), 5);
    // The VDP address goes low byte first, with 0x40 for writing.
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x0C, 0x00, 0x02, 0x8C, 0x02, 0x00, 0x60, 0x00, 0x0C, 0x00, 0x05,
                             0x8C, 0x00, 9, 8, 7, 6, 5}));
    EXPECT_EQ(rig.vti.Vdp(0x2004), 5);
    uint8_t back[5] = {};
    ASSERT_EQ(rig.ti.ReadMemory(SpaceVdp, 0x2000, 5, 0, 0, back), 5);
    EXPECT_EQ(Bytes(back, back + 5), Bytes(data, data + 5));
    rig.vti.ClearTraffic();
    ASSERT_TRUE(rig.ti.SetVdpAddress(0x6123));
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x0C, 0x00, 0x02, 0x8C, 0x02, 0x23, 0x61}));

    ASSERT_EQ(rig.ti.WriteMemory(SpaceCpu, 0xC000, 5, 0, 0, data), 5);
    EXPECT_EQ(Sent()[1], 0x0A);
    ASSERT_EQ(rig.ti.ReadMemory(SpaceCpu, 0xC000, 5, 0, 0, back), 5);
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x02, 0x00, 0x05, 0xC0, 0x00}));
    EXPECT_EQ(Bytes(back, back + 5), Bytes(data, data + 5));
    // Card space takes the CRU base held for card kind 0.
    rig.ti.SetCardCruBase(0, 0x1100);
    ASSERT_EQ(rig.ti.ReadMemory(SpaceCpu, 0x4000, 2, 0, 0, back), 2);
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x06, 0x11, 0x00, 0x00, 0x02, 0x40, 0x00}));
    EXPECT_EQ(back[0], 0xAA);
}

TEST_F(RemoteTiBytes, ShortAnswersAndGarbage) {
    uint8_t block[16];
    rig.vti.SetAnswerLimit(5);
    EXPECT_EQ(rig.ti.ReadMemory(SpaceCpu, 0xC000, 16, 0, 0, block), 5);
    EXPECT_EQ(rig.ti.Status(), StatusReadMemory);
    EXPECT_EQ(rig.ti.Link().Status(), StatusImportByte);
    EXPECT_FALSE(rig.ti.Where());
}

TEST_F(RemoteTiBytes, WhereReportsTheHook) {
    ASSERT_TRUE(rig.ti.Where());
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x1C}));
    EXPECT_EQ(rig.ti.HookLocation(), CVirtualTi::kHookLocation);
    EXPECT_EQ(rig.ti.HookWorkspace(), CVirtualTi::kHookWorkspace);
    EXPECT_EQ(rig.ti.ProgramWp(), CVirtualTi::kProgramWp);
    EXPECT_EQ(rig.ti.ProgramPc(), CVirtualTi::kProgramPc);
    // SetReturn writes the three words to the hook workspace's R13-R15.
    ASSERT_TRUE(rig.ti.SetReturn(0x8300, -1, 0x1234));
    EXPECT_EQ(rig.vti.CpuWord(CVirtualTi::kHookWorkspace + 26), 0x8300);
    EXPECT_EQ(rig.vti.CpuWord(CVirtualTi::kHookWorkspace + 28), CVirtualTi::kProgramPc);
    EXPECT_EQ(rig.vti.CpuWord(CVirtualTi::kHookWorkspace + 30), 0x1234);
}

TEST_F(RemoteTiBytes, BreakpointAndXop) {
    const int original = rig.vti.CpuWord(0xA004);
    EXPECT_EQ(rig.ti.SetBreakpoint(0xA004), original);
    EXPECT_EQ(rig.vti.CpuWord(0xA004), 0x2C40);
    ASSERT_TRUE(rig.ti.SetXop());
    EXPECT_EQ(rig.vti.CpuWord(0xFFF8), 0x0420);
    EXPECT_EQ(rig.vti.CpuWord(0xFFFA), CVirtualTi::kHookLocation + 14);
    // Console ROM cannot take a breakpoint: the read-back differs.
    EXPECT_EQ(rig.ti.SetBreakpoint(0x0100), -1);
}

TEST_F(RemoteTiBytes, MoveHookAndUnhook) {
    ASSERT_TRUE(rig.ti.MoveHook(0xB000, 0xB200));
    EXPECT_EQ(rig.vti.HookLocation(), 0xB000);
    EXPECT_EQ(rig.vti.HookWorkspace(), 0xB200);
    EXPECT_EQ(rig.vti.CpuWord(0xB008), 0xB00A);
    EXPECT_EQ(rig.vti.CpuWord(0xB010), 0xB014);
    EXPECT_EQ(rig.vti.CpuWord(0xB00C), (0xB000 - 0xA000 + 0x0040) & 0xFFFF);
    EXPECT_EQ(rig.vti.CpuWord(0xB212), 0x1000);  // the relocation offset in R9
    ASSERT_TRUE(rig.ti.Where());
    EXPECT_EQ(rig.ti.HookLocation(), 0xB000);
    EXPECT_EQ(rig.ti.HookWorkspace(), 0xB200);
    EXPECT_EQ(rig.ti.Relocation(), 0x1000);
    EXPECT_TRUE(rig.ti.MoveHook(0xB000, 0xB200));  // nothing to move

    ASSERT_TRUE(rig.ti.Unhook());
    EXPECT_TRUE(rig.vti.Resumed());
    EXPECT_EQ(rig.vti.ResumedAt(), CVirtualTi::kProgramResume);
    EXPECT_EQ(rig.vti.CpuWord(0xB004), 0x1000);
    EXPECT_FALSE(rig.ti.Where());  // nobody answers any more
}

TEST_F(RemoteTiBytes, CallThatNeverReturnsEndsWithEscape) {
    // A subroutine address the TI does not know: it resumes there and never reports.
    rig.prompt.SetDelay(100);
    EXPECT_TRUE(rig.ti.Call(0xC000, 0x83E0));
    ASSERT_FALSE(rig.prompt.messages.empty());
    EXPECT_EQ(rig.prompt.messages.back(),
              "Remote system not asnwering.\nWhen it does, do Execute->RTWP");
}

class HookUpload : public ::testing::TestWithParam<Transport> {};

TEST_P(HookUpload, RecordsGoOutAsTheyAre) {
    const std::string folder = test::TempFolder();
    CRemoteRig rig(GetParam(), folder);
    rig.WithTi([](CVirtualTi& ti) {
        ti.StartLoader();
        return 0;
    });
    Bytes file(128, 0);
    for (int i = 0; i < 80; ++i)
        file.push_back(static_cast<uint8_t>('A' + i % 26));
    Bytes last(80, ' ');
    last[0] = ':';
    file.insert(file.end(), last.begin(), last.end());
    file.resize(file.size() + 20, 0x55);  // an incomplete record at the end is not sent
    const std::string path = folder + "/HookA.DF80";
    ASSERT_TRUE(WriteWholeFile(path, file));

    rig.prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(rig.ti.UploadHook(path), HookUploadResult::ScanRequested)
        << (rig.prompt.messages.empty() ? "" : rig.prompt.messages.back());
    EXPECT_FALSE(rig.ti.Link().Settings().pause);  // set for the upload only
    ASSERT_EQ(rig.prompt.questions.size(), 1u);
    EXPECT_EQ(rig.prompt.questions[0], "Hook uploaded. Scan remote TI-99/4A for drives?");
    rig.WithTi([&](CVirtualTi& ti) {
        EXPECT_EQ(ti.Loaded(), Bytes(file.begin() + 128, file.begin() + 288));
        EXPECT_TRUE(ti.HookInstalled());
        return 0;
    });
}

INSTANTIATE_TEST_SUITE_P(All, HookUpload, ::testing::Values(Transport::Serial, Transport::Parallel),
                         [](const auto& row) { return test::TransportName(row.param); });

TEST(HookUploadErrors, FilesAndDeadTi) {
    const std::string folder = test::TempFolder();
    CRemoteRig rig(Transport::Parallel, folder, 50);
    EXPECT_EQ(rig.ti.UploadHook(folder + "/missing.DF80"), HookUploadResult::Failed);
    EXPECT_EQ(rig.prompt.messages.back(),
              "Cannot open PC file\n" + folder + "/missing.DF80: No such file or directory");
    ASSERT_TRUE(WriteWholeFile(folder + "/short.DF80", Bytes(207, 0)));
    EXPECT_EQ(rig.ti.UploadHook(folder + "/short.DF80"), HookUploadResult::Failed);
    EXPECT_EQ(rig.prompt.messages.back(), "Bad file format");

    // The records go out, but no hook answers afterwards.
    ASSERT_TRUE(WriteWholeFile(folder + "/HookB.DF80", Bytes(208, 0x20)));
    rig.vti.StartLoader();
    rig.prompt.answers = {PromptAnswer::No};
    EXPECT_EQ(rig.ti.UploadHook(folder + "/HookB.DF80"), HookUploadResult::Failed);
    EXPECT_EQ(rig.prompt.messages.back(), "Hook not working properly");

    rig.vti.SetSilent(true);
    EXPECT_EQ(rig.ti.UploadHook(folder + "/HookB.DF80"), HookUploadResult::Failed);
    EXPECT_EQ(rig.prompt.messages.back(), "Transmission error");
}

TEST(QueryHook, FillsLocationAndWorkspace) {
    CRemoteRig rig(Transport::Parallel, test::TempFolder());
    LinkSettings page = rig.ti.Link().Settings();
    page.timeout = 777;
    uint16_t location = 0, workspace = 0;
    EXPECT_TRUE(rig.ti.QueryHook(page, location, workspace));
    EXPECT_EQ(location, CVirtualTi::kHookLocation);
    EXPECT_EQ(workspace, CVirtualTi::kHookWorkspace);
    EXPECT_EQ(rig.prompt.messages.back(), "It worked!");
    EXPECT_EQ(rig.ti.Link().Settings().timeout, 777);
    rig.vti.SetSilent(true);
    EXPECT_FALSE(rig.ti.QueryHook(page, location, workspace));
    EXPECT_EQ(rig.prompt.messages.back(), "Operation failed");
}

}  // namespace
}  // namespace tavik
