#include <gtest/gtest.h>

#include <cstring>

#include "connection/connection.h"
#include "connection/send_data.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    return bytes;
}

TraceCheck Checked() {
    TraceCheck check = CheckTrace(SnapshotTrace(g_Trace), false);
    EXPECT_EQ(check.error, "");
    return check;
}

// The four address cells starting at index i: kind, first value and octets.
struct AddressUnit {
    uint8_t kind;
    uint8_t firstValue;
    uint8_t lastOctet;
};

std::vector<AddressUnit> AddressUnits() {
    std::vector<TraceCell> cells = SnapshotTrace(g_Trace);
    std::vector<AddressUnit> units;
    for (size_t i = 0; i + 3 < cells.size(); ++i) {
        uint8_t k = cells[i].kind;
        if ((k == ClientEvent || k == FromAddress || k == ToAddress) && (cells[i].value == 1 || cells[i].value == 11)) {
            EXPECT_EQ(cells[i].pos, 127);
            units.push_back({k, cells[i].value, cells[i + 3].pos});
            i += 3;
        }
    }
    return units;
}

TEST_F(ConnectionTest, TcpClientRecordsABurstInBlocksOfAtMost1023Bytes) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    UseMode(ConnectionMode::TcpClient, device.Port());
    Open();
    SocketHandle accepted = device.Accept();
    ASSERT_NE(accepted, kInvalidSocket);
    std::vector<uint8_t> burst = Pattern(2500);
    ASSERT_EQ(SendOn(accepted, burst.data(), 2500), 2500);
    ASSERT_TRUE(WaitForTraceBytes(2500));
    TraceCheck check = Checked();
    std::vector<uint8_t> joined;
    for (const TraceBlock& b : check.blocks) {
        EXPECT_LE(b.bytes.size(), 1023u);
        EXPECT_FALSE(b.addressed);  // a client records no addresses
        joined.insert(joined.end(), b.bytes.begin(), b.bytes.end());
    }
    EXPECT_GE(check.blocks.size(), 3u);
    EXPECT_EQ(joined, burst);
    CloseSocket(accepted);
}

TEST_F(ConnectionTest, TcpServerKeepsEachClientsAddressWithItsSlot) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket first(true), second(true);
    ASSERT_TRUE(first.Bind(Loopback(2)));
    ASSERT_TRUE(second.Bind(Loopback(3)));
    ASSERT_TRUE(first.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 1; }));
    ASSERT_TRUE(second.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 2; }));
    EXPECT_EQ(ClientSlotAt(g_Connection, 0).address, Loopback(2, first.Port()));
    EXPECT_EQ(ClientSlotAt(g_Connection, 1).address, Loopback(3, second.Port()));

    ASSERT_TRUE(first.Send(Bytes("from two")));
    ASSERT_TRUE(WaitForTraceBytes(8));
    ASSERT_TRUE(second.Send(Bytes("three")));
    ASSERT_TRUE(WaitForTraceBytes(13));
    auto units = AddressUnits();
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].kind, ClientEvent);
    EXPECT_EQ(units[0].lastOctet, 2);
    EXPECT_EQ(units[1].lastOctet, 3);
    EXPECT_EQ(units[2].kind, FromAddress);
    EXPECT_EQ(units[2].lastOctet, 2);  // the first client's data carries its own address
    EXPECT_EQ(units[3].lastOctet, 3);
    EXPECT_EQ(Checked().blocks.size(), 2u);
}

TEST_F(ConnectionTest, ClosingAndResetClientsFreeTheirSlots) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    {
        PeerSocket leaving(true);
        ASSERT_TRUE(leaving.Bind(Loopback(2)));
        ASSERT_TRUE(leaving.Connect(Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 1; }));
        leaving.Close();
        ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 0; }));
    }
    auto units = AddressUnits();
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[1].kind, ClientEvent);
    EXPECT_EQ(units[1].firstValue, 11);  // the close event
    EXPECT_EQ(units[1].lastOctet, 2);
    EXPECT_EQ(g_Connection.PeerState.load(), kNoPeer);

    PeerSocket resetting(true);
    ASSERT_TRUE(resetting.Bind(Loopback(4)));
    ASSERT_TRUE(resetting.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 1; }));
    EXPECT_EQ(ClientSlotAt(g_Connection, 0).address.address, Loopback(4).address);  // the lowest free slot again
    resetting.Reset();
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 0; }));
    units = AddressUnits();
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[3].firstValue, 11);
    EXPECT_EQ(units[3].lastOctet, 4);
    EXPECT_TRUE(boxes.Boxes().size() <= 3u);  // no box for the reset itself
}

TEST_F(ConnectionTest, TheEleventhClientIsTurnedAwayUnrecorded) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    std::vector<std::unique_ptr<PeerSocket>> clients;
    for (int i = 0; i < 10; ++i) {
        clients.push_back(std::make_unique<PeerSocket>(true));
        ASSERT_TRUE(clients.back()->Connect(Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitUntil([i] { return ConnectedClientCount(g_Connection) == i + 1; }));
    }
    PeerSocket eleventh(true);
    ASSERT_TRUE(eleventh.Connect(Loopback(1, ServerPort())));
    // It is accepted and closed at once: its receive sees the end.
    EXPECT_TRUE(eleventh.Receive(1, std::chrono::seconds(3)).empty());
    EXPECT_EQ(ConnectedClientCount(g_Connection), 10);
    EXPECT_EQ(AddressUnits().size(), 10u);
}

TEST_F(ConnectionTest, UdpServerRecordsEmptyDatagramsAndTheFirst20Senders) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    PeerSocket sender(false);
    ASSERT_TRUE(sender.Bind(Loopback(5)));
    ASSERT_TRUE(sender.SendTo({}, Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return g_Connection.PeerState.load() == kUdpDatagramArrived; }));
    TraceCheck check = Checked();
    EXPECT_EQ(check.addressUnits, 1);
    EXPECT_TRUE(check.blocks.empty());
    EXPECT_EQ(TraceCount(g_Trace), 4);
    // The sender is known by its port: some loopback stacks (Wine's) send
    // from 127.0.0.1 whatever loopback address the socket is bound to.
    Ipv4Endpoint sender5 = LastPeer(g_Connection);
    EXPECT_EQ(sender5.port, sender.Port());
    uint8_t octets[4];
    EndpointOctets(sender5, octets);
    uint32_t peers[kUdpPeerCapacity];
    EXPECT_EQ(UdpPeers(g_Connection, peers), 1);
    EXPECT_EQ(peers[0], sender5.address);
    ReceivedBlock last;
    ASSERT_TRUE(LatestReceivedSince(g_Connection, last));
    EXPECT_EQ(last.length, 0);  // an empty datagram still counts as a block

    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(sender.SendTo({uint8_t(i)}, Loopback(1, ServerPort())));
        ASSERT_TRUE(WaitForTraceBytes(i + 1));
    }
    EXPECT_EQ(UdpPeers(g_Connection, peers), 20);
    EXPECT_EQ(Checked().addressUnits, 21);  // the 21st is recorded all the same
    auto units = AddressUnits();
    EXPECT_EQ(units.back().firstValue, 11);
    EXPECT_EQ(units.back().lastOctet, octets[3]);
}

TEST_F(ConnectionTest, UdpClientRecordsWithoutAddressesAndKnowsItsPeer) {
    PeerSocket device(false);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    UseMode(ConnectionMode::UdpClient, device.Port());
    Open();
    // The client's first send gives it a local port the device can answer.
    ASSERT_EQ(SendData(Bytes("ping").data(), 4, 0), 0);
    Ipv4Endpoint client;
    EXPECT_EQ(device.ReceiveDatagram(client), Bytes("ping"));
    ASSERT_TRUE(device.SendTo(Bytes("pong!"), client));
    ASSERT_TRUE(WaitForTraceBytes(5));
    TraceCheck check = Checked();
    EXPECT_EQ(check.addressUnits, 0);
    EXPECT_EQ(LastPeer(g_Connection), Loopback(1, device.Port()));
}

TEST_F(ConnectionTest, OversizedDatagramsAreDroppedNotCut) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    PeerSocket sender(false);
    ASSERT_TRUE(sender.SendTo(std::vector<uint8_t>(1500, 0x41), Loopback(1, ServerPort())));
    ASSERT_TRUE(sender.SendTo(Bytes("ok"), Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitForTraceBytes(2));
    TraceCheck check = Checked();
    ASSERT_EQ(check.blocks.size(), 1u);
    EXPECT_EQ(check.blocks[0].bytes, Bytes("ok"));
}

// More than one receive batch arrives at once: every datagram stays a block
// of its own, labelled by its sender, in the order sent; a stream keeps its
// bytes in order in blocks of at most 1,023 bytes, each labelled.
TEST_F(ConnectionTest, BurstsLargerThanABatchAreRecordedInOrder) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    PeerSocket sender(false);
    ASSERT_TRUE(sender.Bind(Loopback(4)));
    constexpr int kDatagrams = 300;
    for (int i = 0; i < kDatagrams; ++i)
        ASSERT_TRUE(sender.SendTo({uint8_t(i >> 8), uint8_t(i), 0x5A}, Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitForTraceBytes(3 * kDatagrams));
    TraceCheck check = Checked();
    ASSERT_EQ(check.blocks.size(), size_t(kDatagrams));
    for (int i = 0; i < kDatagrams; ++i) {
        EXPECT_EQ(check.blocks[i].bytes, (std::vector<uint8_t>{uint8_t(i >> 8), uint8_t(i), 0x5A})) << i;
        EXPECT_TRUE(check.blocks[i].addressed) << i;
    }
    EXPECT_EQ(check.addressUnits, kDatagrams);
    Close();

    ClearTrace(g_Trace);
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket client(true);
    ASSERT_TRUE(client.Connect(Loopback(1, ServerPort())));
    std::vector<uint8_t> stream = Pattern(100000);
    ASSERT_TRUE(client.Send(stream));
    ASSERT_TRUE(WaitForTraceBytes(stream.size()));
    check = Checked();
    std::vector<uint8_t> joined;
    for (const TraceBlock& b : check.blocks) {
        EXPECT_LE(b.bytes.size(), 1023u);
        EXPECT_TRUE(b.addressed);
        joined.insert(joined.end(), b.bytes.begin(), b.bytes.end());
    }
    EXPECT_EQ(joined, stream);
}

}  // namespace
