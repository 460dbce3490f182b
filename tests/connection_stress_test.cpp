#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "connection/send_data.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

// A peer floods a UDP server with numbered datagrams while the user side
// sends replies and re-stamps: every datagram must land whole in the trace.
TEST_F(ConnectionTest, UdpFloodWhileSendingAndStampingLosesNothing) {
    UseMode(ConnectionMode::UdpServer);
    Open();
    const int kDatagrams = 800;  // about 80,000 cells: below the compaction threshold
    size_t sentBytes = 0;
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        PeerSocket peer(false);
        peer.Bind(Loopback(6));
        for (int i = 0; i < kDatagrams; ++i) {
            std::vector<uint8_t> datagram(40 + i % 100, static_cast<uint8_t>(i));
            datagram[0] = static_cast<uint8_t>(i >> 8);
            datagram[1] = static_cast<uint8_t>(i);
            peer.SendTo(datagram, Loopback(1, ServerPort()));
            sentBytes += datagram.size();
            // Let the receiver keep up: the test is about recording, not the
            // kernel's socket buffer.
            if (i % 50 == 49) WaitUntil([&] { return TraceBytes(Received) >= sentBytes; }, std::chrono::seconds(10));
        }
        flooding = false;
    });
    int sends = 0;
    while (flooding) {
        if (g_Connection.PeerState.load() == kUdpDatagramArrived) {
            SendAndRecord(Bytes("ack").data(), 3, 0, AddressCells::OnlyWhenSent);
            ++sends;
        }
        StampPendingTrailer(g_Trace);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    flood.join();
    TraceCheck check = CheckTrace(SnapshotTrace(g_Trace), false);
    ASSERT_EQ(check.error, "");
    std::set<int> numbers;
    for (const TraceBlock& b : check.blocks) {
        if (b.kind != Received) continue;
        ASSERT_TRUE(b.addressed);
        int number = b.bytes[0] << 8 | b.bytes[1];
        ASSERT_EQ(b.bytes.size(), static_cast<size_t>(40 + number % 100));
        for (size_t k = 2; k < b.bytes.size(); ++k) ASSERT_EQ(b.bytes[k], static_cast<uint8_t>(number));
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), static_cast<size_t>(kDatagrams));
    EXPECT_GT(sends, 0);
}

}  // namespace
