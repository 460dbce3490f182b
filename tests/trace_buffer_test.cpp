#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "support/trace_checker.h"
#include "trace/trace_buffer.h"

namespace {

class TraceBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AllocateTrace(trace));
        trace.Clock = &clock;
        ClearTrace(trace);
    }

    void Append(int32_t length) {
        std::vector<uint8_t> bytes(static_cast<size_t>(length));
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
        AppendTrace(trace, bytes.data(), length, Received);
    }

    // Appends blocks until exactly `target` cells are in use (no compaction).
    void FillTo(int32_t target) {
        while (TraceCount(trace) + 1026 + 4 <= target) Append(1023);
        int32_t rest = target - TraceCount(trace);
        ASSERT_GE(rest, 4);
        Append(rest - 3);
        ASSERT_EQ(TraceCount(trace), target);
    }

    TraceBuffer trace;
    ManualTickClock clock{1000};
};

TraceTraffic Sum(TraceTraffic a, const TraceTraffic& b) { return {a.Blocks + b.Blocks, a.Bytes + b.Bytes}; }

// Passing the threshold moves the newer half down, with the pending trailer.
// A reader keeps its place; one behind the cut is told what it missed and
// goes on at the next whole block. Near the end, address cells and a
// 1,023-byte block never write past the last cell, whatever the fill level.
// A trace whose cells could not be allocated takes nothing.
TEST_F(TraceBufferTest, CompactionAfterPassingTheThreshold) {
    FillTo(130811);
    std::vector<TraceCell> before = SnapshotTrace(trace), read(kTraceCapacity);
    TraceReader ahead, behind;
    ASSERT_EQ(ReadTrace(trace, ahead, read.data(), 70000), 70000);
    ASSERT_EQ(ReadTrace(trace, behind, read.data(), 100), 100);
    TraceTraffic seenBehind = CountTraffic(read.data(), 100);
    Append(3);  // reaches 130,817
    EXPECT_EQ(TraceCount(trace), 65281);
    EXPECT_EQ(trace.Cells[0].value, before[65536].value);
    EXPECT_EQ(trace.Cells[0].pos, before[65536].pos);
    EXPECT_EQ(trace.TraceStampIndex, 130811 + 4 - 65536);

    int32_t n = ReadTrace(trace, ahead, read.data(), kTraceCapacity);
    ASSERT_EQ(n, 65281 - (70000 - 65536));
    EXPECT_EQ(std::memcmp(read.data(), &before[70000], (130811 - 70000) * sizeof(TraceCell)), 0);
    EXPECT_EQ(ahead.Missed, TraceTraffic{});
    n = ReadTrace(trace, behind, read.data(), kTraceCapacity);
    read.resize(static_cast<size_t>(n));
    EXPECT_EQ(CheckTrace(read, false).error, "");  // whole blocks only
    EXPECT_EQ(behind.Missed, (TraceTraffic{64, 64 * 1023 - 100}));
    EXPECT_EQ(Sum(Sum(seenBehind, behind.Missed), CountTraffic(read.data(), n)), ExtentOf(trace).Total);

    const std::vector<uint8_t> block(1023, 0x55);
    const Ipv4Address loopback{{127, 0, 0, 1}};
    for (int32_t level = 130002; level <= 130816; level += 37) {  // 130,816: the threshold itself
        ClearTrace(trace);
        FillTo(level);
        AppendAddressedTrace(trace, FromAddress, loopback, 1, block.data(), 1023, Received);
        ASSERT_LE(TraceCount(trace), kTraceCapacity) << level;
        TraceCheck check = CheckTrace(SnapshotTrace(trace), TraceCount(trace) < level);
        ASSERT_EQ(check.error, "") << level;
        ASSERT_TRUE(check.blocks.back().addressed);
        ASSERT_EQ(check.blocks.back().bytes, block);
    }
    EXPECT_EQ(TraceCount(trace), 130816 + 4 + 1026 - 65536);

    TraceBuffer unallocated;
    AppendTrace(unallocated, block.data(), 1, Received);
    AppendAddressCells(unallocated, ToAddress, loopback, 1);
    StampPendingTrailer(unallocated);
    CompactTrace(unallocated);
    EXPECT_EQ(TraceCount(unallocated), 0);
}

// A clear or a load starts a new epoch: a reader goes on at its first new
// cell, never reading the old cells or the loaded ones as traffic.
TEST_F(TraceBufferTest, ClearsAndLoadsStartNewEpochs) {
    TraceReader reader;
    std::vector<TraceCell> read(64);
    Append(5);
    ClearTrace(trace);
    Append(2);
    ASSERT_EQ(ReadTrace(trace, reader, read.data(), 64), 5);
    EXPECT_EQ(read[1].value, 1);
    std::vector<TraceCell> loaded = SnapshotTrace(trace);
    Append(4);  // unread when the load comes
    ASSERT_TRUE(LoadTraceCells(trace, loaded.data(), 5));
    Append(1);
    ASSERT_EQ(ReadTrace(trace, reader, read.data(), 64), 4);
    EXPECT_TRUE(read[0].kind == Received && read[0].pos == 0);
    EXPECT_EQ(reader.Missed, TraceTraffic{});
    EXPECT_EQ(TraceCount(trace), 9);
}

// A view reads a stamp while it counts (the newest cell is its StampLow):
// the pending one, or one named by its StampHigh cell inside the trace.
TEST_F(TraceBufferTest, ACountingStampIsReadFromItsOwnCells) {
    char16_t high[2], low[2];
    uint64_t pending = 0;
    EXPECT_FALSE(ReadCountingStamp(trace, kPendingStamp, high, low, pending));  // an empty trace
    Append(1);  // a data cell, then t= and the stamp's two cells
    clock.Advance(1200);
    StampPendingTrailer(trace);
    TraceExtent extent = ExtentOf(trace);
    ASSERT_TRUE(ReadCountingStamp(trace, kPendingStamp, high, low, pending));
    EXPECT_EQ(pending, extent.End() - 2);
    EXPECT_EQ(std::u16string(high, 2) + std::u16string(low, 2), u"0012");
    for (uint64_t at : {extent.First + 1, extent.End() - 1})
        EXPECT_FALSE(ReadCountingStamp(trace, at, high, low, pending)) << at - extent.First;
    AppendAddressCells(trace, ClientEvent, Ipv4Address{{127, 0, 0, 1}}, 1);
    EXPECT_FALSE(ReadCountingStamp(trace, kPendingStamp, high, low, pending));  // no longer counting
    EXPECT_FALSE(ReadCountingStamp(trace, extent.End() - 2, high, low, pending));
}

// Block contents that a stray stamp write would break: byte i of a block
// with seed s is s + 7i.
std::vector<uint8_t> PatternBlock(std::mt19937& random, int maxLength) {
    std::vector<uint8_t> block(std::uniform_int_distribution<int>(1, maxLength)(random));
    uint8_t seed = static_cast<uint8_t>(random());
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + 7 * i);
    return block;
}

bool FollowsPattern(const std::vector<uint8_t>& block) {
    for (size_t i = 0; i < block.size(); ++i)
        if (block[i] != static_cast<uint8_t>(block[0] + 7 * i)) return false;
    return true;
}

const Ipv4Address kLoopback{{127, 0, 0, 1}};

TEST_F(TraceBufferTest, ReceiveAndSendThreadsKeepEveryBlockWhole) {
    std::atomic<bool> receiving{true};
    std::atomic<int> compactions{0};

    // The receive side: address cells and blocks of up to 1,023 bytes.
    std::thread receiver([&] {
        std::mt19937 random(1);
        for (int n = 0; n < 700; ++n) {
            std::vector<uint8_t> block = PatternBlock(random, 1023);
            int32_t before = TraceCount(trace);
            if (n % 3 == 0)
                AppendAddressedTrace(trace, FromAddress, kLoopback, 1, block.data(), int32_t(block.size()), Received);
            else
                AppendTrace(trace, block.data(), int32_t(block.size()), Received);
            if (TraceCount(trace) < before) ++compactions;
            if (n % 50 == 0) AppendAddressCells(trace, ClientEvent, kLoopback, 11);
        }
        receiving = false;
    });

    // The user-interface side: sent lines, timer re-stamps, a moving clock.
    std::mt19937 random(2);
    int sent = 0;
    while (receiving || sent < 200) {
        std::vector<uint8_t> block = PatternBlock(random, 256);
        AppendTrace(trace, block.data(), int32_t(block.size()), Sent);
        ++sent;
        for (int k = 0; k < 3; ++k) {
            clock.Advance(100);
            StampPendingTrailer(trace);
        }
    }
    receiver.join();

    EXPECT_GE(compactions.load(), 1);
    TraceCheck check = CheckTrace(SnapshotTrace(trace), true);
    ASSERT_EQ(check.error, "");
    uint32_t elapsedTenths = (clock.NowMs() - 1000) / 100;
    for (const TraceBlock& block : check.blocks) {
        ASSERT_TRUE(FollowsPattern(block.bytes)) << "a stamp landed in a data cell";
        ASSERT_LE(block.stampTenths, static_cast<int>(std::min<uint32_t>(elapsedTenths, 9999)));
    }
}

}  // namespace
