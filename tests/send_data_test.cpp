#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"
#include "sending/destination_list.h"
#include "sending/send_history.h"
#include "support/loopback_peer.h"

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
    DeleteHistoryEntry(full, 18);                        // the later ones move up
    EXPECT_EQ(Firsts(full)[17], 4);
    EXPECT_EQ(Firsts(full)[18], 2);
    EXPECT_EQ(Firsts(full)[19], 0);
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
    DestinationList list;
    auto texts = [&] { return std::vector<std::u16string>(list.texts, list.texts + list.count); };
    BuildDestinationList(*state, ConnectionMode::TcpServer, list);
    EXPECT_EQ(texts(), (std::vector<std::u16string>{u"2-IP:127,0,0,7]", u"5-IP:127,0,0,9]"}));
    EXPECT_EQ(LastClient(*state), Loopback(9, 5001));
    BuildDestinationList(*state, ConnectionMode::UdpServer, list);  // no datagram yet
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(list.count, 0);
    state->PeerState.store(kUdpDatagramArrived);
    BuildDestinationList(*state, ConnectionMode::UdpServer, list);
    EXPECT_EQ(texts(), (std::vector<std::u16string>{u"0-IP:127,0,0,1]", u"1-IP:127,168,10,200]"}));
    BuildDestinationList(*state, ConnectionMode::TcpClient, list);  // client mode
    EXPECT_FALSE(list.enabled);
}

}  // namespace
