#include <gtest/gtest.h>

#include "connection/send_data.h"
#include "platform/text.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

TEST_F(ConnectionTest, TcpClientSendIsRecordedAsOneBlock) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    UseMode(ConnectionMode::TcpClient, device.Port());
    Open();
    PeerSocket accepted(true);
    SocketHandle peer = device.Accept();
    ASSERT_NE(peer, kInvalidSocket);
    std::vector<uint8_t> line = {0x41, 0x42, 0x43, 0x0D, 0x0A};
    EXPECT_EQ(SendAndRecord(line.data(), 5, 0, AddressCells::EvenWhenSendFails), 0);
    uint8_t got[16];
    bool ready = false;
    ASSERT_GT(WaitReadable(&peer, 1, 3000, &ready), 0);
    EXPECT_EQ(ReceiveFrom(peer, got, sizeof got), 5);
    EXPECT_EQ(std::vector<uint8_t>(got, got + 5), line);
    TraceCheck check = CheckTrace(SnapshotTrace(g_Trace), false);
    ASSERT_EQ(check.blocks.size(), 1u);
    EXPECT_EQ(check.blocks[0].kind, Sent);
    EXPECT_EQ(check.blocks[0].bytes, line);
    EXPECT_EQ(TraceCount(g_Trace), 8);
    CloseSocket(peer);
}

TEST_F(ConnectionTest, TcpServerSendsToTheChosenSlotAndLabelsItsClient) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket a(true), b(true), c(true);
    ASSERT_TRUE(a.Bind(Loopback(2)));
    ASSERT_TRUE(b.Bind(Loopback(3)));
    ASSERT_TRUE(c.Bind(Loopback(4)));
    for (PeerSocket* s : {&a, &b, &c}) {
        size_t before = static_cast<size_t>(ConnectedClientCount(g_Connection));
        ASSERT_TRUE(s->Connect(Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitUntil([before] { return static_cast<size_t>(ConnectedClientCount(g_Connection)) == before + 1; }));
    }
    b.Close();  // slot 1 becomes free; slots 0 and 2 remain
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 2; }));
    ClearTrace(g_Trace);
    EXPECT_EQ(SendAndRecord(Bytes("to c").data(), 4, 2, AddressCells::EvenWhenSendFails), 0);
    EXPECT_EQ(c.Receive(4), Bytes("to c"));
    std::vector<TraceCell> cells = SnapshotTrace(g_Trace);
    ASSERT_EQ(cells.size(), 4u + 4 + 3);
    EXPECT_EQ(cells[0].kind, ToAddress);
    EXPECT_EQ(cells[3].pos, 4);  // the client in slot 2, not the last one accepted

    // A slot outside 0..9 means slot 0.
    EXPECT_EQ(SendAndRecord(Bytes("x").data(), 1, 42, AddressCells::EvenWhenSendFails), 0);
    EXPECT_EQ(a.Receive(1), Bytes("x"));
}

TEST_F(ConnectionTest, FailedSendsAreShownAndRecordNoData) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    TakeBoxes();
    // Slot 5 is free: the send fails at the socket layer.
    int32_t code = SendAndRecord(Bytes("lost").data(), 4, 5, AddressCells::EvenWhenSendFails);
    EXPECT_NE(code, 0);
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"WSAGetLastError");
    EXPECT_EQ(shown[0].text, u"ERR:" + FormatString(u"%d", {code}));
    EXPECT_EQ(shown[0].owner, nullptr);
    // The dialogs keep the address cells of a failed send; the macro runner does not.
    EXPECT_EQ(TraceCount(g_Trace), 4);
    SendAndRecord(Bytes("lost").data(), 4, 5, AddressCells::OnlyWhenSent);
    EXPECT_EQ(TraceCount(g_Trace), 4);
}

TEST_F(ConnectionTest, UdpServerRepliesToTheNewestSender) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    PeerSocket first(false), second(false);
    ASSERT_TRUE(first.Bind(Loopback(1)));
    ASSERT_TRUE(second.Bind(Loopback(1)));
    ASSERT_TRUE(first.SendTo(Bytes("1"), Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitForTraceBytes(1));
    ASSERT_TRUE(second.SendTo(Bytes("2"), Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitForTraceBytes(2));
    EXPECT_EQ(SendAndRecord(Bytes("reply").data(), 5, 7, AddressCells::OnlyWhenSent), 0);
    Ipv4Endpoint from;
    EXPECT_EQ(second.ReceiveDatagram(from), Bytes("reply"));
    std::vector<TraceCell> cells = SnapshotTrace(g_Trace);
    size_t n = cells.size();
    ASSERT_GE(n, 12u);
    EXPECT_EQ(cells[n - 12].kind, ToAddress);  // recorded with the block it labels
    EXPECT_EQ(cells[n - 9].pos, 1);
    EXPECT_EQ(LastPeer(g_Connection).port, second.Port());
    EXPECT_TRUE(first.ReceiveDatagram(from, std::chrono::milliseconds(200)).empty());
}

TEST_F(ConnectionTest, UdpClientSendsToTheAccessPointOfTheMoment) {
    PeerSocket one(false), two(false);
    ASSERT_TRUE(one.Bind(Loopback(1)));
    ASSERT_TRUE(two.Bind(Loopback(1)));
    UseMode(ConnectionMode::UdpClient, one.Port());
    Open();
    EXPECT_EQ(SendData(Bytes("a").data(), 1, 0), 0);
    g_Settings.AccessPort = two.Port();
    EXPECT_EQ(SendData(Bytes("b").data(), 1, 0), 0);
    Ipv4Endpoint from;
    EXPECT_EQ(one.ReceiveDatagram(from), Bytes("a"));
    EXPECT_EQ(two.ReceiveDatagram(from), Bytes("b"));
}

}  // namespace
