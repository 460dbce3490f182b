#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <thread>

#include "connection/connection.h"
#include "connection/send_data.h"
#include "platform/text.h"
#include "sending/destination_list.h"
#include "sending/send_history.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

TraceCheck Checked(const TraceBuffer& trace) {
    TraceCheck check = CheckTrace(SnapshotTrace(trace), false);
    EXPECT_EQ(check.error, "");
    return check;
}

using Units = std::vector<std::string>;

// The trace's address units: "open 2", "close 2", "from 2" or "to 2" for
// 127.0.0.2.
Units AddressUnits(const TraceBuffer& trace) {
    std::vector<TraceCell> cells = SnapshotTrace(trace);
    Units units;
    for (size_t i = 0; i + 3 < cells.size(); ++i) {
        uint8_t k = cells[i].kind, value = cells[i].value;
        if ((k == ClientEvent || k == FromAddress || k == ToAddress) && (value == 1 || value == 11)) {
            EXPECT_EQ(cells[i].pos, 127);
            std::string what = k == FromAddress ? "from " : k == ToAddress ? "to " : value == 1 ? "open " : "close ";
            units.push_back(what + std::to_string(cells[i + 3].pos));
            i += 3;
        }
    }
    return units;
}

// Connects a TCP client, from 127.0.0.`last` unless 0, and waits for its slot.
void Attach(const ConnectionState& server, PeerSocket& client, uint16_t port, uint8_t last = 0) {
    int before = ConnectedClientCount(server);
    ASSERT_TRUE(last == 0 || client.Bind(Loopback(last)));
    ASSERT_TRUE(client.Connect(Loopback(1, port)));
    ASSERT_TRUE(WaitUntil([&] { return ConnectedClientCount(server) == before + 1; }));
}

// Each client keeps its address with its slot and labels its data; a client
// that closes or resets is recorded leaving and frees its slot, the lowest
// free one being taken next.
TEST_F(ConnectionTest, TcpServerRecordsItsClientsComingAndGoing) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    auto first = std::make_unique<PeerSocket>(true);
    PeerSocket second(true);
    Attach(session.Connection, *first, ServerPort(), 2);
    Attach(session.Connection, second, ServerPort(), 3);
    EXPECT_EQ(ClientSlotAt(session.Connection, 1).address, Loopback(3, second.Port()));
    ASSERT_TRUE(first->Send(Bytes("from two")));
    ASSERT_TRUE(WaitForTraceBytes(8));
    ASSERT_TRUE(second.Send(Bytes("three")));
    ASSERT_TRUE(WaitForTraceBytes(13));
    ASSERT_TRUE(first->Send(Bytes("bye")));  // its last words and its close may come in one pass
    first.reset();
    ASSERT_TRUE(WaitUntil([&] { return ConnectedClientCount(session.Connection) == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return session.Connection.PeerState.load() == kNoPeer; }));
    EXPECT_EQ(AddressUnits(session.Trace), (Units{"open 2", "open 3", "from 2", "from 3", "from 2", "close 2"}));
    EXPECT_EQ(Checked(session.Trace).blocks.size(), 3u);
    TakeBoxes();
    PeerSocket resetting(true);
    Attach(session.Connection, resetting, ServerPort(), 4);
    EXPECT_EQ(ClientSlotAt(session.Connection, 0).address.address, Loopback(4).address);  // the lowest free slot again
    resetting.Reset();
    ASSERT_TRUE(WaitUntil([&] { return ConnectedClientCount(session.Connection) == 1; }));
    Units units = AddressUnits(session.Trace);
    ASSERT_EQ(units.size(), 8u);
    EXPECT_EQ(Units(units.begin() + 6, units.end()), (Units{"open 4", "close 4"}));
    EXPECT_EQ(session.Connection.ClientsAccepted.load(), 3);  // gone ones included
    EXPECT_EQ(boxes.Count(), 0u);  // no box for the reset itself
}

// Ten clients at most: the eleventh is closed at once and never recorded.
TEST_F(ConnectionTest, TheEleventhClientIsTurnedAwayUnrecorded) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    std::deque<PeerSocket> clients;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(clients.emplace_back(true).Connect(Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitUntil([&, i] { return ConnectedClientCount(session.Connection) == i + 1; }));
    }
    PeerSocket eleventh(true);
    ASSERT_TRUE(eleventh.Connect(Loopback(1, ServerPort())));
    // It is accepted and closed at once: its receive sees the end.
    EXPECT_TRUE(eleventh.Receive(1, std::chrono::seconds(3)).empty());
    EXPECT_EQ(ConnectedClientCount(session.Connection), 10);
    EXPECT_EQ(AddressUnits(session.Trace).size(), 10u);
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
    state->UdpPeerList[1] = Ipv4FromNumbers(octets);
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

// A line from the send dialog goes to the slot its destination names (one
// outside 0..9 meaning slot 0), labelled with that client, and enters the
// history. A send to a free slot is shown, keeps the line out of the history
// and leaves only the address cells the dialogs record (macro sends leave none).
TEST_F(ConnectionTest, TcpServerSendsToTheChosenSlotAndLabelsItsClient) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket a(true), b(true);
    Attach(session.Connection, a, ServerPort(), 2);
    Attach(session.Connection, b, ServerPort(), 3);
    ClearTrace(session.Trace);
    TakeBoxes();
    auto history = std::make_unique<SendHistory>();
    auto sendLine = [&](const char16_t* codes, int32_t count, std::u16string_view destination) {
        return SendLineFromDialog(session.Connection, session.Trace, *history, codes, count, destination);
    };
    const char16_t line[] = {u't', u'o', u' ', u'a'};
    EXPECT_EQ(sendLine(line, 4, u"0-IP:127,0,0,2]"), 0);
    EXPECT_EQ(history->Entries[0].count, 4);
    std::vector<TraceCell> cells = SnapshotTrace(session.Trace);
    ASSERT_EQ(cells.size(), 4u + 4 + 3);
    EXPECT_EQ(cells[3].pos, 2);  // the client in slot 0, not the last one accepted
    EXPECT_EQ(Send("x", kClientSlots, AddressCells::EvenWhenSendFails), 0);
    EXPECT_EQ(a.Receive(5), Bytes("to ax"));
    EXPECT_EQ(b.Receive(1, std::chrono::milliseconds(100)), Bytes(""));
    EXPECT_EQ(sendLine(line, 0, u"0"), 0);  // an empty line: nothing at all
    EXPECT_EQ(TraceCount(session.Trace), 19);

    int32_t code = sendLine(line + 1, 3, u"5");
    EXPECT_NE(code, 0);
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"WSAGetLastError");
    EXPECT_EQ(shown[0].text, u"ERR:" + FormatString(u"%d", {code}));
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(history->Entries[1].count, 0);
    EXPECT_EQ(TraceCount(session.Trace), 19 + 4);
    Send("lost", 5);
    EXPECT_EQ(TraceCount(session.Trace), 19 + 4);
}

// A peer that stops reading fills the socket: a send waits for room until
// the owner gives up, then fails as a time-out; the part that went before is
// recorded, so the trace holds exactly the bytes the peer can read.
TEST_F(ConnectionTest, ASendIntoAFullSocketEndsWhenTheOwnerGivesUp) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    UseMode(ConnectionMode::TcpClient, device.Port());
    Open();
    SocketHandle accepted = device.Accept();
    ASSERT_NE(accepted, kInvalidSocket);
    int waits = 0;
    session.Connection.GiveUp = [&] { return ++waits > 1; };  // one wait for room, then no more
    std::vector<uint8_t> chunk(kTraceMaxBlock, 'x');
    int32_t result = 0;
    for (int sends = 0; sends < 100000 && result == 0; ++sends)
        result = SendAndRecord(session.Connection, session.Trace, chunk.data(), kTraceMaxBlock, 0,
                               AddressCells::OnlyWhenSent);
    EXPECT_EQ(result, 10060);
    EXPECT_EQ(TakeBoxes().back().text, u"ERR:10060");
    int64_t recorded = ExtentOf(session.Trace).Total.Bytes;
    Close();
    int64_t read = 0;
    std::vector<uint8_t> buffer(1 << 16);
    for (int n; (n = ReceiveFrom(accepted, buffer.data(), static_cast<int>(buffer.size()))) > 0;) read += n;
    CloseSocket(accepted);
    EXPECT_EQ(read, recorded);
}

// A TCP client's blocks are there for a READ; the server's close (a receive
// of 0 bytes) is none, but lets a trace above the threshold (a loaded one)
// compact as a block would.
TEST_F(ConnectionTest, TheServersCloseIsNoBlockButCompactsAFullTrace) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    UseMode(ConnectionMode::TcpClient, device.Port());
    Open();
    MarkReceived(session.Connection);
    SocketHandle accepted = device.Accept();
    const uint8_t hi[] = {'h', 'i'};
    ASSERT_EQ(SendOn(accepted, hi, 2), 2);
    ASSERT_TRUE(WaitForTraceBytes(2));
    std::vector<TraceCell> full(kTraceCompactThreshold + 1);
    ASSERT_TRUE(LoadTraceCells(session.Trace, full.data(), kTraceCompactThreshold + 1));
    CloseSocket(accepted);
    EXPECT_TRUE(WaitUntil([&] { return TraceCount(session.Trace) == kTraceCompactThreshold + 1 - kTraceCompactDrop; }));
    ReceivedBlock block;
    ASSERT_TRUE(LatestReceivedSince(session.Connection, block));
    EXPECT_EQ(std::vector<uint8_t>(block.bytes, block.bytes + block.length), Bytes("hi"));
}

// Empty datagrams are recorded; the first 20 senders are listed (the 21st
// is recorded all the same).
TEST_F(ConnectionTest, UdpServerRecordsItsSendersAndRepliesToTheNewest) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    PeerSocket sender(false);
    ASSERT_TRUE(sender.Bind(Loopback(5)));
    ASSERT_TRUE(sender.SendTo({}, Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([&] { return session.Connection.PeerState.load() == kUdpDatagramArrived; }));
    EXPECT_EQ(Checked(session.Trace).addressUnits, 1);
    EXPECT_EQ(TraceCount(session.Trace), 4);  // the address cells alone
    // Some loopback stacks (Wine's) send from 127.0.0.1 whatever loopback
    // address the socket is bound to: the sender's address is taken as it came.
    Ipv4Address sent = LastPeer(session.Connection).address;
    Ipv4Address peers[kUdpPeerCapacity];
    EXPECT_EQ(UdpPeers(session.Connection, peers), 1);

    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(sender.SendTo({uint8_t(i)}, Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitForTraceBytes(i + 1));
    }
    EXPECT_EQ(UdpPeers(session.Connection, peers), 20);
    EXPECT_EQ(Checked(session.Trace).addressUnits, 21);  // the 21st is recorded all the same
    EXPECT_EQ(AddressUnits(session.Trace).back(), "from " + std::to_string(sent.octets[3]));

    // A reply goes to the newest sender, whatever slot is asked for, labelled with it.
    PeerSocket newest(false);
    ASSERT_TRUE(newest.Bind(Loopback(1)));
    ASSERT_TRUE(newest.SendTo(Bytes("2"), Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitForTraceBytes(21));
    EXPECT_EQ(Send("reply", 7), 0);
    Ipv4Endpoint from;
    EXPECT_EQ(newest.ReceiveDatagram(from), Bytes("reply"));
    EXPECT_TRUE(sender.ReceiveDatagram(from, std::chrono::milliseconds(200)).empty());
    EXPECT_EQ(AddressUnits(session.Trace).back(), "to 1");
    TraceBlock reply = Checked(session.Trace).blocks.back();
    EXPECT_TRUE(reply.kind == Sent && reply.addressed);

    // An empty reply (a macro's empty register) goes out at once as an empty
    // datagram; a send that waited for room would fail here instead of hanging.
    session.Connection.GiveUp = [] { return true; };
    from = {};
    EXPECT_EQ(Send(""), 0);
    EXPECT_TRUE(newest.ReceiveDatagram(from).empty());
    EXPECT_EQ(from.port, ServerPort());
}

// Two sessions in one process keep apart: the fixture's UDP server and a
// UDP client exchange datagrams, each recording its own side in its own
// trace, the client without addresses. The client keeps sending to the
// access point it was opened with: settings changed meanwhile act from the
// next open.
TEST_F(ConnectionTest, AUdpServerSessionAndAUdpClientSessionSideBySide) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    AppSettings clientSettings = settings;
    clientSettings.IpMode = clientSettings.BindMode = 0;
    clientSettings.AccessPort = ServerPort();
    auto client = std::make_unique<Session>();
    ASSERT_TRUE(AllocateTrace(client->Trace));
    ASSERT_TRUE(OpenSession(*client, clientSettings, nullptr));
    clientSettings.AccessPort = 9;
    std::vector<uint8_t> ping = Bytes("ping");
    ASSERT_EQ(SendAndRecord(client->Connection, client->Trace, ping.data(), 4, 0, AddressCells::OnlyWhenSent), 0);
    ASSERT_TRUE(WaitForTraceBytes(4));
    ASSERT_EQ(Send("pong!"), 0);
    ASSERT_TRUE(WaitUntil([&] { return TraceBytes(client->Trace, Received) == 5; }));
    CloseSession(*client, nullptr);

    std::vector<TraceBlock> atServer = Checked(session.Trace).blocks, atClient = Checked(client->Trace).blocks;
    ASSERT_TRUE(atServer.size() == 2 && atClient.size() == 2);
    EXPECT_TRUE(atServer[0].kind == Received && atServer[0].addressed && atServer[0].bytes == ping);
    EXPECT_TRUE(atServer[1].kind == Sent && atServer[1].addressed && atServer[1].bytes == Bytes("pong!"));
    EXPECT_TRUE(atClient[0].kind == Sent && atClient[0].bytes == ping);
    EXPECT_TRUE(atClient[1].kind == Received && atClient[1].bytes == Bytes("pong!"));
    EXPECT_EQ(Checked(client->Trace).addressUnits, 0);
}

// Groups and broadcasts stay on this host: TTL 0 on 127.0.0.1.
const Ipv4Address kGroup{{239, 255, 0, 9}};

// The server joins its group on its adapter, binds the port on every address
// to hear it, and leaves at the close; the next open joins again.
TEST_F(ConnectionTest, AUdpServerHearsItsGroupUntilItCloses) {
    UseMode(ConnectionMode::UdpServer);
    CopyTextInto(settings.MulticastGroup, u"239.255.0.9");
    settings.MulticastTtl = 0;
    PeerSocket sender(false);
    ASSERT_TRUE(sender.Bind(Loopback(2)));
    ASSERT_EQ(SetMulticastTtl(sender.Handle(), 0) | SetMulticastInterface(sender.Handle(), Loopback(1).address), 0);
    for (size_t round = 1; round <= 2; ++round) {
        Open();
        EXPECT_TRUE(session.Connection.GroupJoined);
        Ipv4Endpoint local;
        EXPECT_TRUE(LocalEndpoint(session.Connection.MainSocket.load(), local) == 0 && local.address.IsAny());
        ASSERT_TRUE(sender.SendTo(Bytes("all"), {kGroup, ServerPort()}));
        ASSERT_TRUE(WaitForTraceBytes(3 * round));
        Close();
        EXPECT_FALSE(session.Connection.GroupJoined);
    }
    EXPECT_EQ(Checked(session.Trace).addressUnits, 2);
}

// A client's request to a broadcast address and to a group reaches a device;
// two others answer, and each answer is labelled with its sender.
TEST_F(ConnectionTest, AUdpClientNamesEveryAnswerToABroadcastOrAGroup) {
    PeerSocket device(false), second(false), third(false), probe(false);
    ASSERT_TRUE(device.Bind({}) && second.Bind(Loopback(2)) && third.Bind(Loopback(3)) && probe.Bind(Loopback(1)));
    ASSERT_EQ(JoinGroup(device.Handle(), kGroup, Loopback(1).address), 0);
    Units expected;
    for (PeerSocket* answering : {&second, &third}) {  // as the stack reports them (Wine: all 127.0.0.1)
        Ipv4Endpoint from;
        ASSERT_TRUE(answering->SendTo(Bytes("?"), Loopback(1, probe.Port())) && !probe.ReceiveDatagram(from).empty());
        expected.push_back("from " + std::to_string(from.address.octets[3]));
    }
    settings.MulticastTtl = 0;
    for (Ipv4Address access : {Ipv4Address{{127, 255, 255, 255}}, kGroup}) {
        UseMode(ConnectionMode::UdpClient, device.Port());
        settings.BindMode = 1;  // on 127.0.0.1, which the group leaves from
        for (int i = 0; i < 4; ++i) settings.AccessIp[i] = access.octets[i];
        Open();
        ASSERT_EQ(Send("who"), 0);
        Ipv4Endpoint client;
        ASSERT_EQ(device.ReceiveDatagram(client), Bytes("who"));
        ASSERT_TRUE(second.SendTo(Bytes("2"), client) && third.SendTo(Bytes("3"), client));
        ASSERT_TRUE(WaitUntil([&] { return TraceBytes(session.Trace, Received) == 2 * (access == kGroup ? 2 : 1); }));
        Close();
    }
    EXPECT_EQ(AddressUnits(session.Trace), (Units{expected[0], expected[1], expected[0], expected[1]}));
}

// A peer floods a UDP server with numbered datagrams, in bursts larger than
// one receive batch and after one too large for the buffer, while the user
// side sends replies and re-stamps: every datagram lands whole, labelled, in
// the order sent; the oversized one is dropped, not cut.
TEST_F(ConnectionTest, UdpFloodWhileSendingAndStampingLosesNothing) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    const int kDatagrams = 800;  // about 80,000 cells: below the compaction threshold
    size_t sentBytes = 0;
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        PeerSocket peer(false);
        peer.Bind(Loopback(6));
        peer.SendTo(std::vector<uint8_t>(1500, 0x41), Loopback(1, ServerPort()));
        for (int i = 0; i < kDatagrams; ++i) {
            std::vector<uint8_t> datagram(40 + i % 100, static_cast<uint8_t>(i));
            datagram[0] = static_cast<uint8_t>(i >> 8);
            datagram[1] = static_cast<uint8_t>(i);
            peer.SendTo(datagram, Loopback(1, ServerPort()));
            sentBytes += datagram.size();
            // The test is about recording, not the kernel's socket buffer.
            auto caughtUp = [&] { return TraceBytes(session.Trace, Received) >= sentBytes; };
            if (i % 100 == 99) WaitUntil(caughtUp, std::chrono::seconds(10));
        }
        flooding = false;
    });
    int sends = 0;
    while (flooding) {
        if (session.Connection.PeerState.load() == kUdpDatagramArrived)
            sends += Send("ack") == 0;
        StampPendingTrailer(session.Trace);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    flood.join();
    int next = 0;
    for (const TraceBlock& b : Checked(session.Trace).blocks) {
        if (b.kind != Received) continue;
        ASSERT_TRUE(b.addressed);
        ASSERT_EQ(b.bytes[0] << 8 | b.bytes[1], next);
        ASSERT_EQ(b.bytes.size(), static_cast<size_t>(40 + next % 100));
        for (size_t k = 2; k < b.bytes.size(); ++k) ASSERT_EQ(b.bytes[k], static_cast<uint8_t>(next));
        ++next;
    }
    EXPECT_EQ(next, kDatagrams);
    EXPECT_GT(sends, 0);
}

}  // namespace
