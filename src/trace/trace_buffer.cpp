#include "trace/trace_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

TraceBuffer g_Trace;

namespace {

// Everything below runs with trace.Guard held.

int32_t WriteIndex(const TraceBuffer& trace) { return trace.TraceWriteIndex.load(std::memory_order_relaxed); }

void PublishWriteIndex(TraceBuffer& trace, int32_t index) {
    trace.TraceWriteIndex.store(index, std::memory_order_release);
}

int32_t DropBy(int32_t index, int32_t amount) { return index > amount ? index - amount : 0; }

void CompactLocked(TraceBuffer& trace) {
    int32_t count = WriteIndex(trace);
    SpillUncapturedLocked(trace, std::min(count, kTraceCompactDrop));
    trace.Capture.Next = DropBy(trace.Capture.Next, kTraceCompactDrop);
    int32_t kept = count - kTraceCompactDrop;
    if (kept > 0)
        std::memmove(&trace.Cells[0], &trace.Cells[kTraceCompactDrop], static_cast<size_t>(kept) * sizeof(TraceCell));
    trace.TraceStampIndex = DropBy(trace.TraceStampIndex, kTraceCompactDrop);
    trace.View.DrawnCount = DropBy(trace.View.DrawnCount, kTraceCompactDrop);
    trace.View.LastDrawnStamp = DropBy(trace.View.LastDrawnStamp, kTraceCompactDrop);
    PublishWriteIndex(trace, kept > 0 ? kept : 0);
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

void AddressCellsLocked(TraceBuffer& trace, TraceCellKind kind, uint32_t address, uint8_t firstValue) {
    EnsureRoomLocked(trace, kTraceAddressCells);
    uint8_t octets[4];
    std::memcpy(octets, &address, 4);  // network order: the leftmost octet comes first
    int32_t at = WriteIndex(trace);
    for (int i = 0; i < 4; ++i) {
        TraceCell& cell = trace.Cells[at + i];
        cell.kind = kind;
        cell.value = static_cast<uint8_t>(firstValue + i);
        cell.pos = octets[i];
    }
    PublishWriteIndex(trace, at + kTraceAddressCells);
}

void BlockLocked(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind) {
    if (length > 0 && bytes != nullptr) {
        if (length > kTraceMaxBlock) length = kTraceMaxBlock;
        StampLocked(trace);
        EnsureRoomLocked(trace, length + kTraceTrailerCells);
        int32_t at = WriteIndex(trace);
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
    }
    CompactIfFullLocked(trace);
}

}  // namespace

void SpillUncapturedLocked(TraceBuffer& trace, int32_t end) {
    TraceCaptureMark& capture = trace.Capture;
    if (!capture.Active || !trace.Cells || capture.Next >= end) return;
    capture.Spill.insert(capture.Spill.end(), &trace.Cells[capture.Next], &trace.Cells[end]);
    capture.Next = end;
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
    trace.Cells.reset(new (std::nothrow) TraceCell[kTraceCapacity]());
    PublishWriteIndex(trace, 0);
    trace.TraceStampIndex = 0;
    return trace.Cells != nullptr;
}

void FreeTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    trace.Cells.reset();
    PublishWriteIndex(trace, 0);
    trace.TraceStampIndex = 0;
}

void AppendTrace(TraceBuffer& trace, const uint8_t* bytes, int32_t length, TraceCellKind kind) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    BlockLocked(trace, bytes, length, kind);
}

void AppendAddressedTrace(TraceBuffer& trace, TraceCellKind addressKind, uint32_t addressNetworkOrder,
                          uint8_t firstValue, const uint8_t* bytes, int32_t length, TraceCellKind kind) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    AddressCellsLocked(trace, addressKind, addressNetworkOrder, firstValue);
    BlockLocked(trace, bytes, length, kind);
}

void AppendTraceBatch(TraceBuffer& trace, const TraceBatchBlock* blocks, int32_t count, TraceCellKind kind,
                       uint8_t addressKind, uint8_t firstValue) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    for (int32_t i = 0; i < count; ++i) {
        if (addressKind != 0)
            AddressCellsLocked(trace, static_cast<TraceCellKind>(addressKind), blocks[i].address, firstValue);
        BlockLocked(trace, blocks[i].bytes, blocks[i].length, kind);
    }
}

void StampPendingTrailer(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    StampLocked(trace);
}

void AppendAddressCells(TraceBuffer& trace, TraceCellKind kind, uint32_t addressNetworkOrder, uint8_t firstValue) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    AddressCellsLocked(trace, kind, addressNetworkOrder, firstValue);
}

void ClearTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    SpillUncapturedLocked(trace, WriteIndex(trace));
    trace.Capture.Next = 0;
    PublishWriteIndex(trace, 0);
    trace.TraceStampIndex = 0;
    trace.View = TraceViewMarks{};
}

void CompactTrace(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    if (!trace.Cells) return;
    CompactLocked(trace);
}

int32_t CopyTraceCells(const TraceBuffer& trace, int32_t from, int32_t count, TraceCell* out) {
    LockHold hold(trace.Guard);
    int32_t used = WriteIndex(trace);
    if (!trace.Cells || from < 0 || count <= 0 || from >= used) return 0;
    if (count > used - from) count = used - from;
    std::memcpy(out, &trace.Cells[from], static_cast<size_t>(count) * sizeof(TraceCell));
    return count;
}

int32_t TakeUndrawnCells(TraceBuffer& trace, TraceCell* out, int32_t capacity, int32_t& first) {
    LockHold hold(trace.Guard);
    first = trace.View.DrawnCount;
    int32_t used = WriteIndex(trace);
    if (!trace.Cells || first >= used || capacity <= 0) {
        if (first > used) trace.View.DrawnCount = used;
        first = trace.View.DrawnCount;
        return 0;
    }
    int32_t n = std::min(used - first, capacity);
    std::memcpy(out, &trace.Cells[first], static_cast<size_t>(n) * sizeof(TraceCell));
    trace.View.DrawnCount = first + n;
    return n;
}

int32_t UndrawnCellCount(TraceBuffer& trace) {
    LockHold hold(trace.Guard);
    return std::max(0, WriteIndex(trace) - trace.View.DrawnCount);
}

int32_t SkipUndrawnCells(TraceBuffer& trace, int32_t count) {
    LockHold hold(trace.Guard);
    int32_t skipped = std::clamp(WriteIndex(trace) - trace.View.DrawnCount, 0, std::max(count, 0));
    trace.View.DrawnCount += skipped;
    return skipped;
}

bool TakeStampToRedraw(TraceBuffer& trace, bool useOld, char16_t (&high)[2], char16_t (&low)[2]) {
    LockHold hold(trace.Guard);
    int32_t used = WriteIndex(trace);
    int32_t at = useOld ? trace.View.LastDrawnStamp : trace.TraceStampIndex;
    if (!trace.Cells || used <= 0 || trace.Cells[used - 1].kind != StampLow) return false;
    if (at < 2 || at + 1 >= used) return false;  // a real trailer starts at cell 2 or later
    high[0] = trace.Cells[at].value;
    high[1] = trace.Cells[at].value2;
    low[0] = trace.Cells[at + 1].value;
    low[1] = trace.Cells[at + 1].value2;
    trace.View.LastDrawnStamp = trace.TraceStampIndex;
    return true;
}

void MarkDrawnUpTo(TraceBuffer& trace, int32_t count) {
    LockHold hold(trace.Guard);
    trace.View.DrawnCount = std::min(count, WriteIndex(trace));
    trace.View.LastDrawnStamp = trace.TraceStampIndex;
}
