#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connection/send_data.h"
#include "platform/text.h"
#include "sending/destination_list.h"
#include "sending/send_history.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

using Codes = std::vector<char16_t>;

bool Add(SendHistory& history, const Codes& codes) { return AddToHistory(history, codes.data(), int32_t(codes.size())); }

// The first code of each entry, 0 for an empty one.
std::vector<int> Firsts(const SendHistory& history) {
    std::vector<int> firsts;
    for (const LineEntry& e : history.Lines()) firsts.push_back(e.count ? e.codes[0] : 0);
    return firsts;
}

TEST(SendHistory, NewestFirstDuplicatesStayWhereTheyAre) {
    SendHistory history;
    for (const Codes& line : {Codes{1}, Codes{2, 0x41}, Codes{3}, Codes{2, 0x41}, Codes{3, 0, 0}, Codes{}, Codes{2}})
        Add(history, line);
    std::vector<int> expected = {2, 3, 2, 1};
    expected.resize(20);
    EXPECT_EQ(Firsts(history), expected);
    EXPECT_EQ(history.Entries[2].count, 2);

    SendHistory full;
    for (char16_t i = 1; i <= 21; ++i) Add(full, {i});  // the 21st pushes out the first
    DeleteHistoryEntry(full, 2);                         // row 2: the later ones move up
    std::vector<int> firsts = Firsts(full);
    EXPECT_EQ(std::vector<int>(firsts.begin(), firsts.begin() + 3), (std::vector<int>{21, 20, 18}));
    EXPECT_EQ(firsts[18], 2);
    EXPECT_EQ(firsts[19], 0);
}

// The send button's rule: a client always; a TCP server while any client is
// there, even after another one left; a UDP server once a datagram came.
TEST(SendHistory, WhoTheSendButtonMaySendTo) {
    EXPECT_TRUE(SendAllowed(ConnectionMode::UdpClient, kNoPeer, 0));
    EXPECT_TRUE(SendAllowed(ConnectionMode::TcpServer, kNoPeer, 1));
    EXPECT_FALSE(SendAllowed(ConnectionMode::TcpServer, kUdpDatagramArrived, 0));
    EXPECT_FALSE(SendAllowed(ConnectionMode::UdpServer, kTcpClientAttached, 3));
    EXPECT_EQ(DestinationIndexFromText(u"12"), 1);  // one digit: the slots are 0..9
    EXPECT_EQ(DestinationIndexFromText(u"-3"), 0);
}

TEST(DestinationList, ServersListWhoTheyCanSendTo) {
    auto state = std::make_unique<ConnectionState>();
    state->ClientSockets[2] = {SocketHandle(40), Loopback(7, 5000)};
    state->ClientSockets[5] = {SocketHandle(41), Loopback(9, 5001)};
    state->ClientSockets[7] = {SocketHandle(0), Loopback(3)};  // 0 is no socket
    const int32_t octets[4] = {127, 168, 10, 200};
    state->UdpPeerList[0] = Loopback(1).address;
    state->UdpPeerList[1] = MakeEndpoint(octets, 0).address;
    state->UdpPeerCount = 2;
    auto texts = [](const DestinationList& list) {
        std::vector<std::u16string> t;
        for (int32_t i = 0; i < list.count; ++i) t.emplace_back(TextView(list.texts[i]));
        return t;
    };
    DestinationList list;
    BuildDestinationList(*state, ConnectionMode::TcpServer, list);
    EXPECT_EQ(texts(list), (std::vector<std::u16string>{u"2-IP:127,0,0,7]", u"5-IP:127,0,0,9]"}));
    EXPECT_EQ(LastClient(*state), Loopback(9, 5001));
    BuildDestinationList(*state, ConnectionMode::UdpServer, list);  // no datagram yet
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(list.count, 0);
    state->PeerState.store(kUdpDatagramArrived);
    BuildDestinationList(*state, ConnectionMode::UdpServer, list);
    EXPECT_EQ(texts(list), (std::vector<std::u16string>{u"0-IP:127,0,0,1]", u"1-IP:127,168,10,200]"}));
    BuildDestinationList(*state, ConnectionMode::TcpClient, list);  // client mode
    EXPECT_FALSE(list.enabled);
}

// A line from the send dialog goes to the slot its destination names and
// enters the history; a slot outside 0..9 means slot 0. A send to a free slot
// is shown, keeps the line out of the history and leaves only the address
// cells the dialogs record (the macro runner's sends leave none).
TEST_F(ConnectionTest, TcpServerSendsToTheChosenSlotAndLabelsItsClient) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket a(true), b(true);
    ASSERT_TRUE(a.Bind(Loopback(2)));
    ASSERT_TRUE(b.Bind(Loopback(3)));
    ASSERT_TRUE(a.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 1; }));
    ASSERT_TRUE(b.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 2; }));
    ClearTrace(g_Trace);
    TakeBoxes();
    auto history = std::make_unique<SendHistory>();
    const char16_t line[] = {u't', u'o', u' ', u'a'};
    EXPECT_EQ(SendLineFromDialog(*history, line, 4, u"0-IP:127,0,0,2]"), 0);
    EXPECT_EQ(a.Receive(4), Bytes("to a"));
    EXPECT_EQ(history->Entries[0].count, 4);
    std::vector<TraceCell> cells = SnapshotTrace(g_Trace);
    ASSERT_EQ(cells.size(), 4u + 4 + 3);
    EXPECT_EQ(cells[3].pos, 2);  // the client in slot 0, not the last one accepted
    EXPECT_EQ(SendAndRecord(Bytes("x").data(), 1, 42, AddressCells::EvenWhenSendFails), 0);
    EXPECT_EQ(a.Receive(1), Bytes("x"));
    EXPECT_EQ(b.Receive(1, std::chrono::milliseconds(100)), Bytes(""));
    EXPECT_EQ(SendLineFromDialog(*history, line, 0, u"0"), 0);  // an empty line: nothing at all
    EXPECT_EQ(TraceCount(g_Trace), 19);

    int32_t code = SendLineFromDialog(*history, line + 1, 3, u"5");
    EXPECT_NE(code, 0);
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"WSAGetLastError");
    EXPECT_EQ(shown[0].text, u"ERR:" + FormatString(u"%d", {code}));
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(history->Entries[1].count, 0);
    EXPECT_EQ(TraceCount(g_Trace), 19 + 4);
    SendAndRecord(Bytes("lost").data(), 4, 5, AddressCells::OnlyWhenSent);
    EXPECT_EQ(TraceCount(g_Trace), 19 + 4);
}

}  // namespace
