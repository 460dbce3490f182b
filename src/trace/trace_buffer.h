// The record of all traffic: a flat array of 8-byte cells, appended by the
// receive thread (received blocks, address and client-event cells) and by
// the user-interface thread (sent blocks, re-stamping), read by the view,
// the status bar and the trace files.
//
// Every operation that changes cells takes the record's lock, so appends and
// re-stamps of the two threads never interleave. TraceWriteIndex is published
// only after a whole block is written: a reader that loads it sees complete
// cells below it. Readers that copy cells while a connection may append use
// CopyTraceCells, which takes the lock (compaction moves cells).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/lock.h"
#include "platform/tick_clock.h"

enum TraceCellKind : uint8_t {
    Received = 1,
    Sent = 2,
    StampLabel = 3,
    StampHigh = 4,
    StampLow = 5,
    ClientEvent = 6,
    FromAddress = 7,
    ToAddress = 8,
};

// Also the on-disk layout of a trace file's body.
struct TraceCell {
    uint8_t kind;
    uint8_t reserved0;
    uint8_t value;
    uint8_t value2;
    uint8_t pos;
    uint8_t reserved1[3];
};
static_assert(sizeof(TraceCell) == 8, "trace cells are 8 bytes on disk");

constexpr int32_t kTraceCapacity = 131200;          // cells
constexpr int32_t kTraceCompactThreshold = 130816;  // 0x1FF00
constexpr int32_t kTraceCompactDrop = 65536;        // 0x10000
constexpr int32_t kTraceFillScale = 131072;         // what the status bar shows fill against
// Longest block recorded as one unit; longer blocks keep their first bytes.
// Received blocks are at most 1,023 bytes and sent lines 256.
constexpr int32_t kTraceMaxBlock = 4096;
constexpr int32_t kTraceTrailerCells = 3;
constexpr int32_t kTraceAddressCells = 4;

// The view's positions in the cell array, which compaction moves with the
// cells. The rest of the view's state belongs to the view.
struct TraceViewMarks {
    int32_t DrawnCount = 0;
    int32_t LastDrawnStamp = 0;
};

// Where the capture to disk has got to. The capture takes its cells on the
// window's timer, so the receive thread never waits for the disk; Next is
// moved by compaction like the view's marks. A flood can pass more than the
// dropped half between two ticks, so compaction (and clearing or loading)
// first copies the cells the capture has not taken into Spill: nothing is
// lost, and the receive thread only pays a copy in the rare tick it floods.
struct TraceCaptureMark {
    bool Active = false;
    int32_t Next = 0;
    std::vector<TraceCell> Spill;
};

struct TraceBuffer {
    std::unique_ptr<TraceCell[]> Cells;  // kTraceCapacity cells once allocated
    std::atomic<int32_t> TraceWriteIndex{0};
    int32_t TraceStampIndex = 0;  // StampHigh cell of the pending trailer; < 2: none
    uint32_t LastEventTick = 0;
    TraceViewMarks View;
    TraceCaptureMark Capture;
    const TickClock* Clock = &SystemTickClock();
    mutable Lock Guard;
};

// The program's trace.
extern TraceBuffer g_Trace;

// Allocates the cells zero-filled; false when memory cannot be had.
bool AllocateTrace(TraceBuffer& trace);
void FreeTrace(TraceBuffer& trace);

// One data block of `length` bytes (kind Received or Sent) with its trailer.
// length <= 0 appends nothing but still runs the compaction check.
void AppendTrace(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind);

// Four address cells and the block after them as one unit, so that no block
// of the other thread can come between a block and the address that labels it.
void AppendAddressedTrace(TraceBuffer& trace, TraceCellKind addressKind, uint32_t addressNetworkOrder,
                          uint8_t firstValue, const uint8_t* bytes, int32_t length, TraceCellKind kind);

// One block of a batch: its bytes and, in an addressed batch, the address
// (network byte order) of the four cells that label it.
struct TraceBatchBlock {
    const uint8_t* bytes = nullptr;
    int32_t length = 0;
    uint32_t address = 0;
};

// Several blocks under one hold of the lock (a receive thread's batch), each
// recorded as AppendTrace would, or as AppendAddressedTrace with addressKind
// and firstValue when addressKind is not 0.
void AppendTraceBatch(TraceBuffer& trace, const TraceBatchBlock* blocks, int32_t count, TraceCellKind kind,
                       uint8_t addressKind, uint8_t firstValue);

// Writes the time since the newest block into its trailer, if one is pending.
void StampPendingTrailer(TraceBuffer& trace);

// Four cells of kind ClientEvent, FromAddress or ToAddress for an IPv4 address
// in network byte order; cell i holds octet i+1 and value firstValue + i.
void AppendAddressCells(TraceBuffer& trace, TraceCellKind kind, uint32_t addressNetworkOrder, uint8_t firstValue);

// Empties the trace (cell contents and LastEventTick stay as they are).
void ClearTrace(TraceBuffer& trace);

// Drops the oldest kTraceCompactDrop cells.
void CompactTrace(TraceBuffer& trace);

// With the lock held, before cells from `end` on stop being the ones the
// capture has not taken: keeps those up to `end` in the capture's Spill.
void SpillUncapturedLocked(TraceBuffer& trace, int32_t end);

// Cells in use; safe to call from any thread without the lock.
inline int32_t TraceCount(const TraceBuffer& trace) { return trace.TraceWriteIndex.load(std::memory_order_acquire); }

// Copies up to `count` cells from index `from` (clipped to the cells in use)
// under the lock; returns the number copied.
int32_t CopyTraceCells(const TraceBuffer& trace, int32_t from, int32_t count, TraceCell* out);

// The digits of a stamp for a gap in milliseconds: tenths of a second,
// capped at 9999, as four characters.
void FormatStampDigits(uint32_t elapsedMs, char digits[4]);

// For the view: copies up to `capacity` cells not drawn yet (from
// View.DrawnCount on), counts them as drawn and returns how many; `first`
// receives the index of the first. Consistent with a concurrent compaction.
int32_t TakeUndrawnCells(TraceBuffer& trace, TraceCell* out, int32_t capacity, int32_t& first);

// For the view: how many cells wait to be drawn, and counting up to `count`
// of them as drawn without copying them (a backlog the screen could not show
// anyway); returns how many were skipped.
int32_t UndrawnCellCount(TraceBuffer& trace);
int32_t SkipUndrawnCells(TraceBuffer& trace, int32_t count);

// For the view: the four characters of a stamp to redraw in place, taken
// only while a stamp is counting (the newest cell is a StampLow cell). The
// stamp is the pending one, or with useOld the one the view drew last;
// either way the pending one becomes the one drawn last.
bool TakeStampToRedraw(TraceBuffer& trace, bool useOld, char16_t (&high)[2], char16_t (&low)[2]);

// For the view after a full repaint: the cells up to `count` are on the
// screen, and so is the pending stamp.
void MarkDrawnUpTo(TraceBuffer& trace, int32_t count);
