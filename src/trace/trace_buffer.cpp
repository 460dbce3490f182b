#include "trace/trace_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Room for what one tick usually brings; a flood grows it once.
constexpr size_t kSpillReserve = kTraceCompactDrop;

// Everything below runs with trace.Guard held.

int32_t WriteIndex(const TraceBuffer& trace) { return trace.TraceWriteIndex.load(std::memory_order_relaxed); }

uint64_t EndLocked(const TraceBuffer& trace) { return trace.FirstSequence + static_cast<uint64_t>(WriteIndex(trace)); }

int32_t IndexOf(const TraceBuffer& trace, uint64_t sequence) {
    return static_cast<int32_t>(sequence - trace.FirstSequence);
}

void PublishWriteIndex(TraceBuffer& trace, int32_t index) {
    trace.TraceWriteIndex.store(index, std::memory_order_release);
}

int32_t DropBy(int32_t index, int32_t amount) { return index > amount ? index - amount : 0; }

TraceTraffic& operator+=(TraceTraffic& a, const TraceTraffic& b) {
    a.Blocks += b.Blocks;
    a.Bytes += b.Bytes;
    return a;
}

TraceTraffic Difference(const TraceTraffic& later, const TraceTraffic& earlier) {
    return {later.Blocks > earlier.Blocks ? later.Blocks - earlier.Blocks : 0,
            later.Bytes > earlier.Bytes ? later.Bytes - earlier.Bytes : 0};
}

// Cells from the spill reader's place up to `cut` are about to go: keep them.
void KeepForSpillLocked(TraceBuffer& trace, uint64_t cut) {
    TraceSpill& spill = trace.Spill;
    if (!spill.Active || !trace.Cells || spill.Next >= cut) return;
    if (spill.Cells.empty()) spill.From = spill.Next;
    int32_t from = IndexOf(trace, spill.Next), to = IndexOf(trace, cut);
    spill.Cells.insert(spill.Cells.end(), &trace.Cells[from], &trace.Cells[to]);
    spill.Notes.insert(spill.Notes.end(), &trace.Notes[from], &trace.Notes[to]);
    spill.Next = cut;
}

// The cells from `at` on entered the trace now, from a peer at `port`.
void NoteLocked(TraceBuffer& trace, int32_t at, int32_t count, uint16_t port) {
    TraceCellNote note{trace.Clock->NowMs(), port, true};
    std::fill(&trace.Notes[at], &trace.Notes[at + count], note);
}

// A whole unit (a block with its trailer, an addressed block, a client
// event) ends with a trailer's last cell or an event's fourth cell, and an
// address unit starts with its first cell.
bool EndsUnit(const TraceCell& cell) {
    return cell.kind == StampLow || (cell.kind == ClientEvent && (cell.value == 4 || cell.value == 14));
}
bool StartsUnit(const TraceCell& cell) {
    return (cell.kind == FromAddress || cell.kind == ToAddress || cell.kind == ClientEvent) &&
           (cell.value == 1 || cell.value == 11);
}

// The first index from `from` on where a whole unit starts (or the end).
int32_t NextUnitStart(const TraceBuffer& trace, int32_t from, bool fromStartsUnit) {
    int32_t count = WriteIndex(trace);
    if (fromStartsUnit) return from;
    for (int32_t i = from; i < count; ++i)
        if (StartsUnit(trace.Cells[i]) || (i > from && EndsUnit(trace.Cells[i - 1]))) return i;
    return count;
}

void CompactLocked(TraceBuffer& trace) {
    int32_t count = WriteIndex(trace);
    int32_t dropped = std::min(count, kTraceCompactDrop);
    uint64_t cut = trace.FirstSequence + static_cast<uint64_t>(dropped);
    KeepForSpillLocked(trace, cut);
    bool cutAtUnit = dropped == 0 || dropped == count || EndsUnit(trace.Cells[dropped - 1]);
    int32_t kept = count - dropped;
    if (kept > 0) {
        std::memmove(&trace.Cells[0], &trace.Cells[dropped], static_cast<size_t>(kept) * sizeof(TraceCell));
        std::memmove(&trace.Notes[0], &trace.Notes[dropped], static_cast<size_t>(kept) * sizeof(TraceCellNote));
    }
    trace.FirstSequence = cut;
    trace.TraceStampIndex = DropBy(trace.TraceStampIndex, dropped);
    PublishWriteIndex(trace, kept);
    // A reader behind this cut never starts inside a block, nor before the
    // epoch's own traffic.
    int32_t resume = std::max(NextUnitStart(trace, 0, cutAtUnit), IndexOf(trace, std::max(trace.EpochStart, cut)));
    resume = std::min(resume, kept);
    trace.ResumeSequence = cut + static_cast<uint64_t>(resume);
    trace.AtResume = Difference(trace.Total, CountTraffic(&trace.Cells[resume], kept - resume));
}

// Makes room for `cells` more cells: an append never writes past the last cell.
void EnsureRoomLocked(TraceBuffer& trace, int32_t cells) {
    if (WriteIndex(trace) + cells > kTraceCapacity) CompactLocked(trace);
}

void CompactIfFullLocked(TraceBuffer& trace) {
    if (WriteIndex(trace) > kTraceCompactThreshold) CompactLocked(trace);
}

void StampLocked(TraceBuffer& trace) {
    int32_t at = trace.TraceStampIndex;
    if (at < 2 || at + 1 >= kTraceCapacity) return;
    char digits[4];
    FormatStampDigits(trace.Clock->NowMs() - trace.LastEventTick, digits);
    trace.Cells[at].value = static_cast<uint8_t>(digits[0]);
    trace.Cells[at].value2 = static_cast<uint8_t>(digits[1]);
    trace.Cells[at + 1].value = static_cast<uint8_t>(digits[2]);
    trace.Cells[at + 1].value2 = static_cast<uint8_t>(digits[3]);
}

void PutCell(TraceCell& cell, uint8_t kind, uint8_t value, uint8_t value2, uint8_t pos) {
    cell.kind = kind;
    cell.value = value;
    cell.value2 = value2;
    cell.pos = pos;
}

void AddressCellsLocked(TraceBuffer& trace, TraceCellKind kind, Ipv4Address address, uint8_t firstValue,
                        uint16_t port) {
    EnsureRoomLocked(trace, kTraceAddressCells);
    int32_t at = WriteIndex(trace);
    NoteLocked(trace, at, kTraceAddressCells, port);
    for (int i = 0; i < 4; ++i) {
        TraceCell& cell = trace.Cells[at + i];
        cell.kind = kind;
        cell.value = static_cast<uint8_t>(firstValue + i);
        cell.pos = address.octets[i];
    }
    PublishWriteIndex(trace, at + kTraceAddressCells);
}

void BlockLocked(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind, uint16_t port) {
    if (length > 0 && bytes != nullptr) {
        if (length > kTraceMaxBlock) length = kTraceMaxBlock;
        StampLocked(trace);
        EnsureRoomLocked(trace, length + kTraceTrailerCells);
        int32_t at = WriteIndex(trace);
        NoteLocked(trace, at, length + kTraceTrailerCells, port);
        for (int32_t i = 0; i < length; ++i) {
            TraceCell& cell = trace.Cells[at + i];
            cell.kind = kind;
            cell.value = bytes[i];
            cell.pos = static_cast<uint8_t>(i & 0xFF);
        }
        at += length;
        PutCell(trace.Cells[at], StampLabel, 't', '=', 0);
        PutCell(trace.Cells[at + 1], StampHigh, '0', '0', 0);
        PutCell(trace.Cells[at + 2], StampLow, '0', '0', 0);
        trace.TraceStampIndex = at + 1;
        PublishWriteIndex(trace, at + kTraceTrailerCells);
        trace.LastEventTick = trace.Clock->NowMs();
        trace.Total += TraceTraffic{1, static_cast<uint64_t>(length)};
    }
    CompactIfFullLocked(trace);
}

// A new epoch from the current end: the old cells go (kept for the spill
// reader first), and `loaded` cells may stand before the epoch's traffic.
void NewEpochLocked(TraceBuffer& trace, const TraceCell* loaded, int32_t count) {
    uint64_t end = EndLocked(trace);
    KeepForSpillLocked(trace, end);
    trace.FirstSequence = end;
    if (count > 0) {
        std::memcpy(&trace.Cells[0], loaded, static_cast<size_t>(count) * sizeof(TraceCell));
        std::fill(&trace.Notes[0], &trace.Notes[count], TraceCellNote{});
    }
    trace.Total += CountTraffic(loaded, count);
    trace.TraceStampIndex = 0;
    ++trace.Epoch;
    trace.EpochStart = end + static_cast<uint64_t>(count);
    trace.AtEpochStart = trace.Total;
    trace.Spill.Next = std::max(trace.Spill.Next, trace.EpochStart);
    PublishWriteIndex(trace, count);
}

// Brings a reader into the present: into the current epoch, past cells
// compaction dropped.
void SettleLocked(const TraceBuffer& trace, TraceReader& reader) {
    if (reader.Epoch != trace.Epoch) {
        reader.Epoch = trace.Epoch;
        reader.Next = trace.EpochStart;
        reader.Before = trace.AtEpochStart;
    }
    if (reader.Next < trace.FirstSequence) {
        reader.Missed += Difference(trace.AtResume, reader.Before);
        reader.Next = trace.ResumeSequence;
        reader.Before = trace.AtResume;
    }
}

int32_t UnreadLocked(const TraceBuffer& trace, const TraceReader& reader) {
    uint64_t end = EndLocked(trace);
    return reader.Next < end && trace.Cells ? static_cast<int32_t>(end - reader.Next) : 0;
}

}  // namespace

TraceTraffic CountTraffic(const TraceCell* cells, int32_t count) {
    TraceTraffic traffic;
    for (int32_t i = 0; i < count; ++i) {
        uint8_t kind = cells[i].kind;
        traffic.Blocks += kind == StampLabel;
        traffic.Bytes += kind == Received || kind == Sent;
    }
    return traffic;
}

void FormatStampDigits(uint32_t elapsedMs, char digits[4]) {
    uint32_t tenths = elapsedMs / 100;
    if (tenths > 9999) tenths = 9999;
    digits[0] = static_cast<char>('0' + tenths / 1000);
    digits[1] = static_cast<char>('0' + tenths / 100 % 10);
    digits[2] = static_cast<char>('0' + tenths / 10 % 10);
    digits[3] = static_cast<char>('0' + tenths % 10);
}

bool AllocateTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    NewEpochLocked(trace, nullptr, 0);
    trace.Cells.reset(new (std::nothrow) TraceCell[kTraceCapacity]());
    trace.Notes.reset(new (std::nothrow) TraceCellNote[kTraceCapacity]());
    if (!trace.Notes) trace.Cells.reset();
    return trace.Cells != nullptr;
}

void FreeTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    NewEpochLocked(trace, nullptr, 0);
    trace.Cells.reset();
    trace.Notes.reset();
}

void AppendTrace(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    BlockLocked(trace, bytes, length, kind, 0);
}

void AppendAddressedTrace(TraceBuffer& trace, TraceCellKind addressKind, Ipv4Address address, uint8_t firstValue,
                          const uint8_t* bytes, int32_t length, TraceCellKind kind, uint16_t port) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    AddressCellsLocked(trace, addressKind, address, firstValue, port);
    BlockLocked(trace, bytes, length, kind, port);
}

void AppendTraceBatch(TraceBuffer& trace, const TraceBatchBlock* blocks, int32_t count, TraceCellKind kind,
                      uint8_t addressKind, uint8_t firstValue) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    for (int32_t i = 0; i < count; ++i) {
        const Ipv4Endpoint& peer = blocks[i].peer;
        if (addressKind != 0 && blocks[i].addressed)
            AddressCellsLocked(trace, static_cast<TraceCellKind>(addressKind), peer.address, firstValue, peer.port);
        BlockLocked(trace, blocks[i].bytes, blocks[i].length, kind, peer.port);
    }
}

TraceSendHold::TraceSendHold(TraceBuffer& trace) : trace_(trace), hold_(trace.Guard) {}

void TraceSendHold::Record(const uint8_t* bytes, int32_t length, TraceCellKind kind, uint16_t port) {
    if (trace_.Cells) BlockLocked(trace_, bytes, length, kind, port);
}

void TraceSendHold::RecordAddress(TraceCellKind kind, Ipv4Address address, uint8_t firstValue, uint16_t port) {
    if (trace_.Cells) AddressCellsLocked(trace_, kind, address, firstValue, port);
}

void StampPendingTrailer(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    StampLocked(trace);
}

void AppendAddressCells(TraceBuffer& trace, TraceCellKind kind, Ipv4Address address, uint8_t firstValue,
                        uint16_t port) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    AddressCellsLocked(trace, kind, address, firstValue, port);
}

void ClearTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    NewEpochLocked(trace, nullptr, 0);
}

void CompactTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    CompactLocked(trace);
}

bool LoadTraceCells(TraceBuffer& trace, const TraceCell* cells, int32_t count) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return false;
    NewEpochLocked(trace, cells, std::clamp(count, 0, kTraceCapacity));
    return true;
}

int32_t CopyTraceCells(const TraceBuffer& trace, int32_t from, int32_t count, TraceCell* out, TraceCellNote* notes) {
    LockHold hold(trace.Guard);
    int32_t used = WriteIndex(trace);
    if (!trace.Cells || from < 0 || count <= 0 || from >= used) return 0;
    if (count > used - from) count = used - from;
    std::memcpy(out, &trace.Cells[from], static_cast<size_t>(count) * sizeof(TraceCell));
    if (notes) std::copy(&trace.Notes[from], &trace.Notes[from + count], notes);
    return count;
}

TraceExtent ExtentOf(const TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    TraceExtent extent;
    extent.First = trace.FirstSequence;
    extent.Count = WriteIndex(trace);
    extent.PendingStamp = trace.TraceStampIndex >= 2 ? trace.FirstSequence + trace.TraceStampIndex : 0;
    extent.Epoch = trace.Epoch;
    extent.Total = trace.Total;
    return extent;
}

void PlaceReaderAtEnd(TraceReader& reader, const TraceExtent& extent) {
    reader.Epoch = extent.Epoch;
    reader.Next = extent.End();
    reader.Before = extent.Total;
}

int32_t ReadTrace(const TraceBuffer& trace, TraceReader& reader, TraceCell* out, int32_t capacity) {
    LockHold hold(trace.Guard);
    SettleLocked(trace, reader);
    int32_t n = std::min(UnreadLocked(trace, reader), capacity);
    if (n <= 0) return 0;
    std::memcpy(out, &trace.Cells[IndexOf(trace, reader.Next)], static_cast<size_t>(n) * sizeof(TraceCell));
    reader.Before += CountTraffic(out, n);
    reader.Next += static_cast<uint64_t>(n);
    return n;
}

int32_t UnreadCount(const TraceBuffer& trace, TraceReader& reader) {
    LockHold hold(trace.Guard);
    SettleLocked(trace, reader);
    return UnreadLocked(trace, reader);
}

int32_t SkipTrace(const TraceBuffer& trace, TraceReader& reader, int32_t count) {
    LockHold hold(trace.Guard);
    SettleLocked(trace, reader);
    int32_t n = std::clamp(UnreadLocked(trace, reader), 0, std::max(count, 0));
    reader.Before += CountTraffic(&trace.Cells[IndexOf(trace, reader.Next)], n);
    reader.Next += static_cast<uint64_t>(n);
    return n;
}

void KeepTraceFromNow(TraceBuffer& trace, bool keep) {
    LockHold hold(trace.Guard);
    TraceSpill& spill = trace.Spill;
    spill.Active = keep;
    spill.Next = spill.SeenUpTo = spill.From = EndLocked(trace);
    spill.Cells.clear();
    spill.Notes.clear();
    if (keep) {
        spill.Cells.reserve(kSpillReserve);
        spill.Notes.reserve(kSpillReserve);
    } else {
        spill.Cells.shrink_to_fit();
        spill.Notes.shrink_to_fit();
    }
}

bool SpillFull(const TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    return trace.Spill.Cells.size() >= kSpillLimit;
}

int32_t TakeKept(TraceBuffer& trace, std::vector<TraceCell>& out, std::vector<TraceCellNote>& notes) {
    out.clear();
    notes.clear();
    LockHold hold(trace.Guard);
    TraceSpill& spill = trace.Spill;
    // The kept cells' storage comes back to the spill for the next flood.
    std::swap(out, spill.Cells);
    std::swap(notes, spill.Notes);
    spill.Cells.reserve(kSpillReserve);
    spill.Notes.reserve(kSpillReserve);
    uint64_t from = out.empty() ? spill.Next : spill.From;
    uint64_t end = EndLocked(trace);
    if (trace.Cells && spill.Next < end) {
        int32_t at = IndexOf(trace, spill.Next), to = WriteIndex(trace);
        out.insert(out.end(), &trace.Cells[at], &trace.Cells[to]);
        notes.insert(notes.end(), &trace.Notes[at], &trace.Notes[to]);
    }
    int32_t again = static_cast<int32_t>(std::min<uint64_t>(spill.SeenUpTo > from ? spill.SeenUpTo - from : 0,
                                                            out.size()));
    // A trailer still counting, and what follows it, is given again next time.
    uint64_t counting = trace.FirstSequence + static_cast<uint64_t>(trace.TraceStampIndex) - 1;  // its StampLabel
    bool pending = trace.TraceStampIndex >= 2 && trace.TraceStampIndex + 1 < WriteIndex(trace);
    spill.Next = pending && counting >= spill.Next ? counting : end;
    spill.SeenUpTo = end;
    return again;
}

bool ReadCountingStamp(const TraceBuffer& trace, uint64_t at, char16_t (&high)[2], char16_t (&low)[2],
                       uint64_t& pending) {
    LockHold hold(trace.Guard);
    int32_t used = WriteIndex(trace);
    pending = trace.TraceStampIndex >= 2 ? trace.FirstSequence + trace.TraceStampIndex : 0;
    if (!trace.Cells || used <= 0 || trace.Cells[used - 1].kind != StampLow) return false;
    uint64_t stamp = at == kPendingStamp ? pending : at;
    // A real trailer starts at cell 2 or later.
    if (stamp < trace.FirstSequence + 2 || stamp + 1 >= EndLocked(trace)) return false;
    int32_t i = IndexOf(trace, stamp);
    high[0] = trace.Cells[i].value;
    high[1] = trace.Cells[i].value2;
    low[0] = trace.Cells[i + 1].value;
    low[1] = trace.Cells[i + 1].value2;
    return true;
}
