#include "trace/trace_decoder.h"

#include <algorithm>

namespace {

uint32_t StampDigit(uint8_t c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

// Cells of the four-cell units name their octet by value 1..4 or 11..14.
int OctetIndex(uint8_t value) { return (value >= 11 ? value - 11 : value - 1) & 3; }
bool IsFirstOctet(uint8_t value) { return value == 1 || value == 11; }
bool IsLastOctet(uint8_t value) { return value == 4 || value == 14; }

const TraceCellNote kNoNote{};

}  // namespace

TraceDecoder::TraceDecoder() { block_.reserve(kTraceMaxBlock); }

void TraceDecoder::Feed(const TraceCell* cells, int32_t count, const TraceItemSink& sink, int32_t alreadySeen,
                        const TraceCellNote* notes) {
    int32_t i = 0;
    for (; i < std::min(alreadySeen, count); ++i) Stamp(cells[i]);
    while (i < count) {
        i += ContinueBlock(cells + i, count - i);
        if (i == count) break;
        Cell(cells[i], notes ? notes[i] : kNoNote, sink);
        ++i;
    }
}

// The bytes that continue the block under way, taken in one go (most cells
// of a flood are such bytes); returns how many cells they were.
int32_t TraceDecoder::ContinueBlock(const TraceCell* cells, int32_t count) {
    if (block_.empty()) return 0;
    int32_t room = kTraceMaxBlock - static_cast<int32_t>(block_.size());
    int32_t n = 0;
    while (n < count && n < room && cells[n].kind == blockKind_) ++n;
    size_t at = block_.size();
    block_.resize(at + static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) block_[at + k] = cells[k].value;
    return n;
}

void TraceDecoder::Finish(const TraceItemSink& sink) {
    EndBlock(sink);
    EndAddress(sink);
}

int32_t TraceDecoder::Drop() {
    auto dropped = static_cast<int32_t>(block_.size());
    block_.clear();
    addressReady_ = false;
    return dropped;
}

void TraceDecoder::Stamp(const TraceCell& cell) {
    if (cell.kind == StampHigh) gap_ = gap_ % 100 + 100 * (StampDigit(cell.value) * 10 + StampDigit(cell.value2));
    else if (cell.kind == StampLow) gap_ = gap_ / 100 * 100 + StampDigit(cell.value) * 10 + StampDigit(cell.value2);
}

void TraceDecoder::Time(TraceItem& item, const TraceCellNote& note) {
    item.port = note.port;
    if (!note.known) {
        item.ms = tenths_ * 100;
        return;
    }
    if (!timedStart_) {
        timedStart_ = true;
        startTick_ = note.tick;
    }
    item.timed = true;
    item.tick = note.tick;
    item.ms = note.tick - startTick_;  // ticks wrap: the difference does not
}

void TraceDecoder::EndBlock(const TraceItemSink& sink) {
    if (block_.empty()) return;
    TraceItem item;
    item.kind = blockKind_;
    item.hasAddress = blockHasAddress_;
    item.address = blockAddress_;
    Time(item, blockNote_);
    item.bytes = block_.data();
    item.length = static_cast<int32_t>(block_.size());
    sink(item);
    block_.clear();
}

// Address cells that no block followed: an empty datagram (or a send that
// failed), shown as a block without bytes.
void TraceDecoder::EndAddress(const TraceItemSink& sink) {
    if (!addressReady_) return;
    addressReady_ = false;
    TraceItem item;
    item.kind = addressKind_ == ToAddress ? Sent : Received;
    item.hasAddress = true;
    item.address = address_;
    Time(item, addressNote_);
    sink(item);
}

void TraceDecoder::Event(const TraceCell& cell, const TraceCellNote& note, const TraceItemSink& sink) {
    event_.octets[OctetIndex(cell.value)] = cell.pos;
    if (!IsLastOctet(cell.value)) return;
    TraceItem item;
    item.type = cell.value == 4 ? TraceItem::Open : TraceItem::Close;
    item.hasAddress = true;
    item.address = event_;
    Time(item, note);
    sink(item);
}

void TraceDecoder::Cell(const TraceCell& cell, const TraceCellNote& note, const TraceItemSink& sink) {
    switch (cell.kind) {
    case Received:
    case Sent:
        if (!block_.empty() && (cell.kind != blockKind_ || block_.size() >= static_cast<size_t>(kTraceMaxBlock)))
            EndBlock(sink);
        if (block_.empty()) {
            if (seenBlock_) tenths_ += gap_;
            seenBlock_ = true;
            gap_ = 0;
            blockKind_ = static_cast<TraceCellKind>(cell.kind);
            blockHasAddress_ = addressReady_;
            blockAddress_ = address_;
            blockNote_ = note;
            addressReady_ = false;
        }
        block_.push_back(cell.value);
        break;
    case StampLabel:
        EndBlock(sink);
        break;
    case StampHigh:
    case StampLow:
        Stamp(cell);
        break;
    case FromAddress:
    case ToAddress:
        EndBlock(sink);
        if (IsFirstOctet(cell.value)) EndAddress(sink);
        address_.octets[OctetIndex(cell.value)] = cell.pos;
        addressNote_ = note;
        if (IsLastOctet(cell.value)) {
            addressReady_ = true;
            addressKind_ = static_cast<TraceCellKind>(cell.kind);
        }
        break;
    case ClientEvent:
        EndBlock(sink);
        EndAddress(sink);
        Event(cell, note, sink);
        break;
    default:
        break;
    }
}
