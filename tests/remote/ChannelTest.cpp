#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "EmulatorPeer.h"
#include "remote/ChannelFrame.h"
#include "remote/LocalSocketChannel.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ChannelFrame, WireBytes) {
    ChannelFrame m;
    m.type = ChannelFrame::Message;
    m.message = 0x9900;
    m.first = 0x244;
    m.second = -1;
    EXPECT_EQ(EncodeFrame(m),
              (Bytes{0, 0, 0,    21,   'M',  0,    0,    0x99, 0x00, 0,    0,    0,   0,
                     0, 0, 0x02, 0x44, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    ChannelFrame c;
    c.type = ChannelFrame::CopyData;
    c.sender = "AB";
    c.identifier = 0xA502;
    c.bytes = {7, 8};
    EXPECT_EQ(EncodeFrame(c),
              (Bytes{0, 0, 0, 14, 'C', 2, 'A', 'B', 0, 0, 0xA5, 0x02, 0, 0, 0, 2, 7, 8}));

    for (const ChannelFrame& f : {m, c}) {
        Bytes wire = EncodeFrame(f);
        ChannelFrame back;
        ASSERT_TRUE(DecodeFrame(wire.data() + 4, wire.size() - 4, back));
        EXPECT_EQ(back.type, f.type);
        EXPECT_EQ(back.first, f.first);
        EXPECT_EQ(back.second, f.second);
        EXPECT_EQ(back.identifier, f.identifier);
        EXPECT_EQ(back.bytes, f.bytes);
        EXPECT_EQ(back.sender, f.sender);
        // Every shorter body, and a longer one, is refused.
        for (size_t n = 0; n + 4 < wire.size(); ++n)
            EXPECT_FALSE(DecodeFrame(wire.data() + 4, n, back)) << n;
        wire.push_back(0);
        EXPECT_FALSE(DecodeFrame(wire.data() + 4, wire.size() - 4, back));
    }
    // A count larger than the body.
    const Bytes bad = {'C', 0, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    ChannelFrame back;
    EXPECT_FALSE(DecodeFrame(bad.data(), bad.size(), back));
    const Bytes unknown = {'Z'};
    EXPECT_FALSE(DecodeFrame(unknown.data(), unknown.size(), back));
}

TEST(LocalSocketChannel, AnswersArriveInTheListeningWindow) {
    const std::string folder = test::TempFolder();
    CLocalSocketChannel channel(folder);
    ASSERT_TRUE(channel.Listen());
    EXPECT_FALSE(channel.WindowExists(kEmulatorListeningTitle));

    test::CEmulatorPeer peer(folder);
    peer.floppies = "list of floppies";
    ASSERT_TRUE(peer.Start(true, false));
    EXPECT_TRUE(channel.WindowExists(kEmulatorListeningTitle));
    EXPECT_FALSE(channel.WindowExists(kEmulatorCallingTitle));
    EXPECT_TRUE(channel.SendCopyData(kEmulatorListeningTitle, 0xA504, {0}, 500));
    EXPECT_EQ(channel.AnswerIdentifier(), 0xA504u);
    EXPECT_EQ(std::string(channel.AnswerBytes().begin(), channel.AnswerBytes().end()),
              "list of floppies");

    // Requests on a kept connection after the emulator restarted.
    peer.Stop();
    EXPECT_FALSE(channel.SendCopyData(kEmulatorListeningTitle, 0xA504, {0}, 100));
    test::CEmulatorPeer again(folder);
    ASSERT_TRUE(again.Start(true, false));
    channel.ClearAnswer();
    EXPECT_TRUE(channel.SendCopyData(kEmulatorListeningTitle, 0xA504, {0}, 500));
    EXPECT_EQ(channel.AnswerIdentifier(), 0xA504u);
}

TEST(LocalSocketChannel, SilentEmulatorTimesOut) {
    const std::string folder = test::TempFolder();
    CLocalSocketChannel channel(folder);
    ASSERT_TRUE(channel.Listen());
    test::CEmulatorPeer peer(folder);
    peer.silent = true;
    ASSERT_TRUE(peer.Start(true, false));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(channel.SendCopyData(kEmulatorListeningTitle, 0xA504, {0}, 100));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(90));
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    // The late answer of the dropped request is not taken for the next one.
    peer.silent = false;
    EXPECT_TRUE(channel.SendCopyData(kEmulatorListeningTitle, 0xA504, {0}, 500));
}

TEST(LocalSocketChannel, SecondListenerIsRefused) {
    const std::string folder = test::TempFolder();
    CLocalSocketChannel first(folder);
    ASSERT_TRUE(first.Listen());
    CLocalSocketChannel second(folder);
    EXPECT_FALSE(second.Listen());
}

}  // namespace
}  // namespace tavik
