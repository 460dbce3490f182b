// The one reading of trace cells into what they record: blocks (a run of
// data cells of one kind, ended by its trailer) with the address cells that
// label them, and client events. The exports, the capture and the runner's
// printer all read the trace through it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ipv4_address.h"
#include "trace/trace_buffer.h"

// One unit of the trace.
struct TraceItem {
    enum Type : uint8_t { Block, Open, Close };
    Type type = Block;
    TraceCellKind kind = Received;   // Received or Sent for a block
    bool hasAddress = false;         // from address or client-event cells
    Ipv4Address address;             // the peer
    uint64_t tenths = 0;             // elapsed since the first block, 0.1 s
    const uint8_t* bytes = nullptr;  // a block's data
    int32_t length = 0;              // 0: address cells without data (an empty datagram)
};

using TraceItemSink = std::function<void(const TraceItem&)>;

// Reads cells into items as they come, in pieces of any size: a block is
// given out at its trailer (or when something else starts). The time of a
// block is the sum of the stamps of the trailers before it; an event gets the
// time of the block before it (the trace keeps no time of its own for it).
class TraceDecoder {
public:
    TraceDecoder();
    // The first `alreadySeen` cells were fed before: only stamp digits are
    // taken from them again (a trailer that was still counting then has its
    // final value now).
    void Feed(const TraceCell* cells, int32_t count, const TraceItemSink& sink, int32_t alreadySeen = 0);
    // Gives out what is still held: a block without its trailer yet, address
    // cells whose block never came.
    void Finish(const TraceItemSink& sink);
    // Forgets a block or address begun (cells after a gap are no part of it).
    void Drop();

private:
    void Cell(const TraceCell& cell, const TraceItemSink& sink);
    void Stamp(const TraceCell& cell);
    void EndBlock(const TraceItemSink& sink);
    void EndAddress(const TraceItemSink& sink);
    void Event(const TraceCell& cell, const TraceItemSink& sink);

    std::vector<uint8_t> block_;
    TraceCellKind blockKind_ = Received;
    bool blockHasAddress_ = false;
    Ipv4Address blockAddress_;
    uint64_t tenths_ = 0;
    uint32_t gap_ = 0;  // stamp of the newest trailer, added when the next block starts
    bool seenBlock_ = false;
    Ipv4Address address_;           // the address cells read last
    TraceCellKind addressKind_ = FromAddress;
    bool addressReady_ = false;     // all four came and wait for their block
    Ipv4Address event_;
};
