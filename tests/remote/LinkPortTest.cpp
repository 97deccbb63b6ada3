#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "RemoteRig.h"
#include "remote/LinkPort.h"
#include "remote/TraceLog.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::CRemoteRig;
using test::Transport;

class CLines : public CTraceLog {
public:
    void Line(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

TEST(LinkPortNames, ParallelBaseAddresses) {
    const struct {
        const char* name;
        int base;
    } rows[] = {
        {"LPT1 single port", 0x278},
        {"LPT1 two ports", 0x378},
        {"LPT1 three ports", 0x3BC},
        {"LPT2 two ports", 0x278},
        {"LPT2 three ports", 0x378},
        {"LPT3", 0x278},
        {"3BC", 0x3BC},
        {"/dev/parport0", 0x278},
        {"nonsense", 0x278},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CLinkPort::ParallelBase(row.name), row.base) << row.name;
}

TEST(LinkPortNames, EmulatedPortCodes) {
    const struct {
        const char* name;
        bool serial;
        int code;
    } rows[] = {
        {"PIO/2", false, 0x100},  {"PIO/1", false, 0x000},  {"RS232/1", true, 0x200},
        {"RS232/2", true, 0x300}, {"RS232/3", true, 0x400}, {"RS232/4", true, 0x500},
        {"other", true, 0x200},   {"other", false, 0x000},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CLinkPort::EmulatedPortCode(row.name, row.serial), row.code) << row.name;
}

TEST(LinkPortNames, StatusNamesAndTraceEntries) {
    EXPECT_EQ(LinkStatusName(13), "Where");
    EXPECT_EQ(LinkStatusName(24), " Serial port not found / initialized");
    EXPECT_EQ(LinkStatusName(0), "unknown");
    EXPECT_EQ(LinkStatusName(27), "unknown");
    EXPECT_EQ(TraceEntryText(TraceSent, 0x41), ">41  A");
    EXPECT_EQ(TraceEntryText(TraceReceived, 0x42), "<42 B");
    EXPECT_EQ(TraceEntryText(TraceNeutral, 0x00), "00 .");
    EXPECT_EQ(TraceEntryText(TraceCommand, 22), "BL");
    EXPECT_EQ(TraceEntryText(TraceError, 2), "Err Import byte");
    EXPECT_EQ(TraceEntryText(7, 0xAB), "07 AB");
}

TEST(LinkPortOpen, ParallelRegisterChecks) {
    test::CVirtualTi vti;
    test::CScriptedPrompt prompt;
    CLinkPort link(prompt);
    test::CSimulatedParallelPort port(vti);
    link.SetPortIo(&port);
    LinkSettings s;
    s.contact = ContactCable;
    s.portName = "LPT1 single port";
    s.outputLine = OutInit;
    link.SetSettings(s);

    ASSERT_TRUE(link.Open(true));
    EXPECT_EQ(port.acquiredBase, 0x278);
    EXPECT_EQ(port.lastExtendedWrite, (0x15 & 0x1F) | 0x20);  // byte mode
    EXPECT_EQ(link.ControlCopy() & 0x24, 0x24);               // data in, Init high (bit set)

    port.extendedControl = 0xFF;
    EXPECT_FALSE(link.Open(true));
    EXPECT_EQ(link.Status(), StatusParallelNotFound);
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.back(), "Port not found.\n");

    port.extendedControl = 0x15;
    port.controlMissing = true;
    EXPECT_FALSE(link.Open(false));
    EXPECT_EQ(link.Status(), StatusParallelNotFound);

    port.refuseAccess = true;
    const size_t shown = prompt.messages.size();
    EXPECT_FALSE(link.Open(false));
    EXPECT_EQ(link.Status(), StatusPortIoNotLoaded);
    EXPECT_EQ(prompt.messages.size(), shown);  // no messages unless asked for
}

TEST(LinkPortOpen, SerialFailures) {
    test::CScriptedPrompt prompt;
    CLinkPort link(prompt);
    LinkSettings s;
    s.contact = ContactCable;
    s.serial = true;
    s.portName = "/nonexistent/tty";
    link.SetSettings(s);
    EXPECT_FALSE(link.Open(true));
    EXPECT_EQ(link.Status(), StatusSerialNotFound);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "Cannot access serial port /nonexistent/tty Error code: 0002");

    // A device that is not a serial port.
    s.portName = "/dev/null";
    link.SetSettings(s);
    EXPECT_FALSE(link.Open(true));
    EXPECT_EQ(link.Status(), StatusSerialNotFound);
    EXPECT_EQ(prompt.messages.back().rfind("Serial port configuration 1 failed Error code: ", 0),
              0u);
    EXPECT_EQ(CSerialPort::DevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(CSerialPort::DevicePath("COM4"), "/dev/ttyS3");
}

TEST(LinkPortOpen, EmulatorMustListen) {
    const std::string folder = test::TempFolder();
    test::CScriptedPrompt prompt;
    CLocalSocketChannel channel(folder);
    CLinkPort link(prompt);
    link.SetEmulatorChannel(&channel);
    LinkSettings s;
    s.contact = ContactEmulator;
    s.portName = "PIO/2";
    link.SetSettings(s);
    EXPECT_FALSE(link.Open(true));
    EXPECT_EQ(link.Status(), StatusEmulatorNotAnswering);
    EXPECT_EQ(prompt.messages.back(), "No external emulator listening");

    test::CVirtualTi vti;
    test::CEmulatorPeer peer(folder);
    peer.AttachPort(vti, vti.Mutex());
    ASSERT_TRUE(peer.Start(false, true));
    EXPECT_TRUE(link.Open(true));
    EXPECT_EQ(link.Base(), 0x100);

    s.contact = ContactNone;
    link.SetSettings(s);
    EXPECT_TRUE(link.Open(true));
}

class LinkTransport : public ::testing::TestWithParam<Transport> {};

TEST_P(LinkTransport, BytesTravelBothWaysAndAreTraced) {
    CRemoteRig rig(GetParam(), test::TempFolder());
    CLines trace;
    rig.ti.Link().SetTrace(&trace);
    ASSERT_TRUE(rig.ti.Link().Open(true))
        << (rig.prompt.messages.empty() ? "" : rig.prompt.messages[0]);
    // "Where" by hand: 00 1C, then 16 bytes.
    ASSERT_TRUE(rig.ti.Link().SendByte(0x00, true));
    ASSERT_TRUE(rig.ti.Link().SendByte(0x1C, true));
    std::vector<int> reply;
    for (int i = 0; i < 16; ++i)
        reply.push_back(rig.ti.Link().ReceiveByte(true));
    EXPECT_EQ(reply[6], 0xA0);  // hook location + 0xB0, high byte first
    EXPECT_EQ(reply[7], 0xB0);
    EXPECT_EQ(rig.ti.Link().Status(), 0);
    ASSERT_GE(trace.lines.size(), 18u);
    EXPECT_EQ(trace.lines[0], ">00  .");
    EXPECT_EQ(trace.lines[1], ">1C  .");
    EXPECT_EQ(trace.lines[2].substr(0, 3), "<00");
}

TEST_P(LinkTransport, SilentPeerFailsWithinTimeout) {
    CRemoteRig rig(GetParam(), test::TempFolder(), 100);
    ASSERT_TRUE(rig.ti.Link().Open(true));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.ti.Link().ReceiveByte(true), -1);  // nothing was asked: nothing comes
    EXPECT_EQ(rig.ti.Link().Status(), StatusImportByte);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(25));
}

TEST_P(LinkTransport, NoTimeoutWaitsUntilEscape) {
    CRemoteRig rig(GetParam(), test::TempFolder(), 0);
    ASSERT_TRUE(rig.ti.Link().Open(true));
    rig.prompt.SetDelay(150);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.ti.Link().ReceiveByte(true), -1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(140));
    EXPECT_GT(rig.prompt.escapes, 0);
}

INSTANTIATE_TEST_SUITE_P(All, LinkTransport,
                         ::testing::Values(Transport::Serial, Transport::Parallel,
                                           Transport::Emulated),
                         [](const auto& row) { return test::TransportName(row.param); });

}  // namespace
}  // namespace tavik
