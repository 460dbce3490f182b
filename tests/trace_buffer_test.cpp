#include <gtest/gtest.h>

#include <atomic>
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

// Passing the threshold moves the newer half down, with the pending trailer
// and the drawn count; near the end, address cells and a 1,023-byte block
// never write past the last cell, whatever the fill level. A trace whose
// cells could not be allocated takes nothing.
TEST_F(TraceBufferTest, CompactionAfterPassingTheThreshold) {
    FillTo(130811);
    TraceCell was65536 = trace.Cells[65536];
    trace.View.DrawnCount = 70000;
    trace.View.LastDrawnStamp = 100;
    Append(3);  // reaches 130,817
    EXPECT_EQ(TraceCount(trace), 65281);
    EXPECT_EQ(trace.Cells[0].value, was65536.value);
    EXPECT_EQ(trace.Cells[0].pos, was65536.pos);
    EXPECT_EQ(trace.TraceStampIndex, 130811 + 4 - 65536);
    EXPECT_EQ(trace.View.DrawnCount, 70000 - 65536);
    EXPECT_EQ(trace.View.LastDrawnStamp, 0);  // dropped, not below 0

    const std::vector<uint8_t> block(1023, 0x55);
    for (int32_t level = 130002; level <= 130816; level += 37) {  // 130,816: the threshold itself
        ClearTrace(trace);
        FillTo(level);
        AppendAddressedTrace(trace, FromAddress, 0x0100007F, 1, block.data(), 1023, Received);
        ASSERT_LE(TraceCount(trace), kTraceCapacity) << level;
        TraceCheck check = CheckTrace(SnapshotTrace(trace), TraceCount(trace) < level);
        ASSERT_EQ(check.error, "") << level;
        ASSERT_TRUE(check.blocks.back().addressed);
        ASSERT_EQ(check.blocks.back().bytes, block);
    }
    EXPECT_EQ(TraceCount(trace), 130816 + 4 + 1026 - 65536);

    TraceBuffer unallocated;
    AppendTrace(unallocated, block.data(), 1, Received);
    AppendAddressCells(unallocated, ToAddress, 0, 1);
    StampPendingTrailer(unallocated);
    CompactTrace(unallocated);
    EXPECT_EQ(TraceCount(unallocated), 0);
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
                AppendAddressedTrace(trace, FromAddress, 0x0100007F, 1, block.data(), int32_t(block.size()), Received);
            else
                AppendTrace(trace, block.data(), int32_t(block.size()), Received);
            if (TraceCount(trace) < before) ++compactions;
            if (n % 50 == 0) AppendAddressCells(trace, ClientEvent, 0x0100007F, 11);
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
