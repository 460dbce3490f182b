// The record of all traffic: a flat array of 8-byte cells, appended by the
// receive thread (received blocks, address and client-event cells) and by
// the user-interface thread (sent blocks, re-stamping), read by the view,
// the capture, the runner's printer, the status bar and the trace files.
//
// Every operation that changes cells takes the record's lock, so appends and
// re-stamps of the two threads never interleave. TraceWriteIndex is published
// only after a whole block is written: a reader that loads it sees complete
// cells below it. Readers that copy cells while a connection may append use
// CopyTraceCells or ReadTrace, which take the lock (compaction moves cells).
//
// Readers keep their own place (TraceReader). Every cell that enters the
// trace gets the next number of a 64-bit sequence that never goes back, so a
// place stays valid whatever compaction does to the array: the buffer only
// keeps the sequence number of its first cell. A reader that fell behind a
// compaction is told how much traffic it missed and goes on at the start of
// the next whole block; a clear or a load starts a new epoch, which readers
// enter at its first new cell instead of reading the old cells as traffic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ipv4_address.h"
#include "platform/lock.h"
#include "platform/sockets.h"
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

// What a cell cannot hold, kept beside it for this run's own outputs (live
// logs and pcap, the export of the trace in memory): when its unit entered
// the trace, by the receive side's clock, and the peer's port. Cells loaded
// from a file have none: a trace file keeps only the cells.
struct TraceCellNote {
    uint32_t tick = 0;
    uint16_t port = 0;
    bool known = false;
};

// Blocks (one trailer each) and data bytes in a stretch of cells.
struct TraceTraffic {
    uint64_t Blocks = 0;
    uint64_t Bytes = 0;
    bool operator==(const TraceTraffic&) const = default;
};

// A reader's place in the trace.
struct TraceReader {
    uint64_t Next = 0;    // sequence number of the next cell to take
    uint32_t Epoch = 0;
    TraceTraffic Before;  // the traffic in the cells before Next
    TraceTraffic Missed;  // traffic it fell behind on and never saw, all told
};

// The one reader that must never miss a cell (the capture to disk, a run's
// log and pcap). Before compaction, a clear or a load drops cells it has not
// taken, they are kept in Cells for it: a flood can pass more than the
// dropped half between two takes, and the receive thread only pays a copy
// in the rare pass that floods. It needs every stamp's final digits, so it
// is given the pending trailer, and what follows it, again until the next
// block freezes it.
struct TraceSpill {
    bool Active = false;
    uint64_t Next = 0;      // the next cell not yet taken nor kept
    uint64_t SeenUpTo = 0;  // cells below this were given before
    uint64_t From = 0;      // sequence number of Cells[0]
    std::vector<TraceCell> Cells;
    std::vector<TraceCellNote> Notes;  // beside Cells
};

struct TraceBuffer {
    std::unique_ptr<TraceCell[]> Cells;  // kTraceCapacity cells once allocated
    std::unique_ptr<TraceCellNote[]> Notes;  // beside Cells
    std::atomic<int32_t> TraceWriteIndex{0};
    int32_t TraceStampIndex = 0;  // StampHigh cell of the pending trailer; < 2: none
    uint32_t LastEventTick = 0;
    const TickClock* Clock = &SystemTickClock();
    mutable Lock Guard;

    // Where readers stand, in sequence numbers (see the top of this file).
    uint64_t FirstSequence = 0;    // of Cells[0]
    uint32_t Epoch = 0;
    uint64_t EpochStart = 0;       // first cell of this epoch's traffic
    TraceTraffic AtEpochStart;     // traffic before EpochStart
    uint64_t ResumeSequence = 0;   // where a reader behind the last compaction goes on
    TraceTraffic AtResume;         // traffic before ResumeSequence
    TraceTraffic Total;            // traffic before the end
    TraceSpill Spill;
};

// Allocates the cells zero-filled; false when memory cannot be had.
bool AllocateTrace(TraceBuffer& trace);
void FreeTrace(TraceBuffer& trace);

// One data block of `length` bytes (kind Received or Sent) with its trailer.
// length <= 0 appends nothing but still runs the compaction check.
void AppendTrace(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind);

// Four address cells and the block after them as one unit, so that no block
// of the other thread can come between a block and the address that labels
// it. The peer's port goes into the notes.
void AppendAddressedTrace(TraceBuffer& trace, TraceCellKind addressKind, Ipv4Address address, uint8_t firstValue,
                          const uint8_t* bytes, int32_t length, TraceCellKind kind, uint16_t port = 0);

// One block of a batch: its bytes and, in an addressed batch, the peer the
// four cells that label it name.
struct TraceBatchBlock {
    const uint8_t* bytes = nullptr;
    int32_t length = 0;
    Ipv4Endpoint peer;
    bool addressed = true;  // false: this block gets no address cells
};

// Several blocks under one hold of the lock (a receive thread's batch), each
// recorded as AppendTrace would, or as AppendAddressedTrace with addressKind
// and firstValue when addressKind is not 0 and the block is addressed.
void AppendTraceBatch(TraceBuffer& trace, const TraceBatchBlock* blocks, int32_t count, TraceCellKind kind,
                      uint8_t addressKind, uint8_t firstValue);

// The trace's lock held for a send: the data leaves and its block is
// recorded under one hold, so that no reply can be recorded before the
// request that caused it.
class TraceSendHold {
public:
    explicit TraceSendHold(TraceBuffer& trace);
    // As AppendTrace and AppendAddressCells, with the lock already held.
    void Record(const uint8_t* bytes, int32_t length, TraceCellKind kind, uint16_t port = 0);
    void RecordAddress(TraceCellKind kind, Ipv4Address address, uint8_t firstValue, uint16_t port = 0);

private:
    TraceBuffer& trace_;
    LockHold hold_;
};

// Writes the time since the newest block into its trailer, if one is pending.
void StampPendingTrailer(TraceBuffer& trace);

// Four cells of kind ClientEvent, FromAddress or ToAddress for an address;
// cell i holds octet i+1 and value firstValue + i. The port goes into the notes.
void AppendAddressCells(TraceBuffer& trace, TraceCellKind kind, Ipv4Address address, uint8_t firstValue,
                        uint16_t port = 0);

// Empties the trace (cell contents and LastEventTick stay as they are).
void ClearTrace(TraceBuffer& trace);

// Drops the oldest kTraceCompactDrop cells.
void CompactTrace(TraceBuffer& trace);

// Replaces the trace with `count` loaded cells: no pending trailer (no later
// stamp writes into them), and traffic that comes later goes on behind them.
// False when the trace has no cells.
bool LoadTraceCells(TraceBuffer& trace, const TraceCell* cells, int32_t count);

// Cells in use; safe to call from any thread without the lock.
inline int32_t TraceCount(const TraceBuffer& trace) { return trace.TraceWriteIndex.load(std::memory_order_acquire); }

// Copies up to `count` cells from index `from` (clipped to the cells in use)
// under the lock, and their notes when `notes` is given; returns the number
// copied.
int32_t CopyTraceCells(const TraceBuffer& trace, int32_t from, int32_t count, TraceCell* out,
                       TraceCellNote* notes = nullptr);

// The cells in use and the pending stamp, read together.
struct TraceExtent {
    uint64_t First = 0;         // sequence number of the first cell
    int32_t Count = 0;
    uint64_t PendingStamp = 0;  // sequence number of the pending trailer's StampHigh cell; 0: none
    uint32_t Epoch = 0;
    TraceTraffic Total;
    uint64_t End() const { return First + static_cast<uint64_t>(Count); }
};
TraceExtent ExtentOf(const TraceBuffer& trace);

// Puts a reader at the end of an extent: what the extent holds counts as read.
void PlaceReaderAtEnd(TraceReader& reader, const TraceExtent& extent);

// Copies up to `capacity` cells from the reader's place and moves it on;
// returns how many. A reader behind a compaction first adds what it missed
// to its Missed and goes on at the next whole block; a reader of an earlier
// epoch goes on at the new epoch's first cell.
int32_t ReadTrace(const TraceBuffer& trace, TraceReader& reader, TraceCell* out, int32_t capacity);
// Cells waiting for the reader, and moving past up to `count` of them
// without copying (a backlog the reader has no use for); returns how many
// it passed.
int32_t UnreadCount(const TraceBuffer& trace, TraceReader& reader);
int32_t SkipTrace(const TraceBuffer& trace, TraceReader& reader, int32_t count);

// The spill reader: keeps from now on every cell that enters the trace, or
// stops doing so. TakeKept moves the kept cells and those not yet taken into
// `out` (in order), their notes into `notes`, and returns how many at its
// start were given before (a trailer still counting then, and what followed
// it).
void KeepTraceFromNow(TraceBuffer& trace, bool keep);
// Whether the spill reader has fallen this far behind: the receive side
// then waits before it takes more from the network (the system's buffers
// hold the rest, or the sender waits), so memory stays bounded whatever
// the rate and the spill reader still loses nothing.
constexpr size_t kSpillLimit = size_t(1) << 20;  // cells
bool SpillFull(const TraceBuffer& trace);
int32_t TakeKept(TraceBuffer& trace, std::vector<TraceCell>& out, std::vector<TraceCellNote>& notes);

// For a view: the four characters of the stamp whose StampHigh cell has
// sequence number `at` (kPendingStamp: the pending one), taken only while a
// stamp is counting (the newest cell is a StampLow cell). `pending` receives
// the pending stamp's sequence number.
constexpr uint64_t kPendingStamp = ~uint64_t(0);
bool ReadCountingStamp(const TraceBuffer& trace, uint64_t at, char16_t (&high)[2], char16_t (&low)[2],
                       uint64_t& pending);

// The digits of a stamp for a gap in milliseconds: tenths of a second,
// capped at 9999, as four characters.
void FormatStampDigits(uint32_t elapsedMs, char digits[4]);

// Blocks and bytes in cells: a trailer counts one block, a data cell one byte.
TraceTraffic CountTraffic(const TraceCell* cells, int32_t count);
