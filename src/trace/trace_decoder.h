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
    uint16_t port = 0;               // the peer's port, where this run's notes tell it; 0: unknown
    // When it came, in ms since the first item: by the receive side's clock
    // where the cells carry notes (this run's own), else from the stamps
    // (0.1 s steps; each gap is stored capped at 999.9 s).
    uint64_t ms = 0;
    bool timed = false;              // ms comes from the receive side's clock
    uint32_t tick = 0;               // that clock's tick, when timed
    const uint8_t* bytes = nullptr;  // a block's data
    int32_t length = 0;              // 0: address cells without data (an empty datagram)
};

using TraceItemSink = std::function<void(const TraceItem&)>;

// Reads cells into items as they come, in pieces of any size: a block is
// given out at its trailer (or when something else starts). Without notes
// the time of a block is the sum of the stamps of the trailers before it,
// and an event gets the time of the block before it (a trace file keeps no
// time of its own for it).
class TraceDecoder {
public:
    TraceDecoder();
    // The first `alreadySeen` cells were fed before: only stamp digits are
    // taken from them again (a trailer that was still counting then has its
    // final value now). `notes`, when given, lie beside the cells.
    void Feed(const TraceCell* cells, int32_t count, const TraceItemSink& sink, int32_t alreadySeen = 0,
              const TraceCellNote* notes = nullptr);
    // Gives out what is still held: a block without its trailer yet, address
    // cells whose block never came.
    void Finish(const TraceItemSink& sink);
    // Forgets a block or address begun (cells after a gap are no part of it);
    // returns how many bytes of a block it forgot.
    int32_t Drop();

private:
    int32_t ContinueBlock(const TraceCell* cells, int32_t count);
    void Cell(const TraceCell& cell, const TraceCellNote& note, const TraceItemSink& sink);
    void Stamp(const TraceCell& cell);
    void EndBlock(const TraceItemSink& sink);
    void EndAddress(const TraceItemSink& sink);
    void Event(const TraceCell& cell, const TraceCellNote& note, const TraceItemSink& sink);
    // The time of an item of these notes.
    void Time(TraceItem& item, const TraceCellNote& note);

    std::vector<uint8_t> block_;
    TraceCellKind blockKind_ = Received;
    bool blockHasAddress_ = false;
    Ipv4Address blockAddress_;
    TraceCellNote blockNote_;
    uint64_t tenths_ = 0;
    uint32_t gap_ = 0;  // stamp of the newest trailer, added when the next block starts
    bool seenBlock_ = false;
    Ipv4Address address_;           // the address cells read last
    TraceCellNote addressNote_;
    TraceCellKind addressKind_ = FromAddress;
    bool addressReady_ = false;     // all four came and wait for their block
    Ipv4Address event_;
    bool timedStart_ = false;       // the first timed item came at startTick_
    uint32_t startTick_ = 0;
};
