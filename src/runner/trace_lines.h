// The runner's text lines: one line per block or client event of the trace,
// as the trace decoder reads them:
//
//   elapsed  direction  peer  length  hex bytes  |printable text|
//      1.250 READ 127.0.0.1:5000 4 4F 4B 0D 0A |OK..|
//      0.310 OPEN 127.0.0.1
//
// Blocks that came with address cells (server modes) show that address;
// the others show the access point.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "connection/connection_state.h"
#include "trace/trace_decoder.h"

class TraceLineWriter {
public:
    // `peer`: the text shown for blocks without address cells.
    TraceLineWriter(std::string peer, std::function<void(const std::string&)> emit);

    // Cells in trace order, seen `elapsedMs` after the run began. A block may
    // arrive over several calls.
    void Feed(const TraceCell* cells, int32_t count, uint32_t elapsedMs);
    // Emits what is still held (an empty datagram's address, a cut block).
    void Flush(uint32_t elapsedMs);
    // Forgets a block begun before cells were missed; returns its bytes so far.
    int32_t Drop() { return decoder_.Drop(); }

private:
    void Emit(const TraceItem& item, uint32_t elapsedMs);

    std::string peer_;
    std::function<void(const std::string&)> emit_;
    TraceDecoder decoder_;
};

// One item's line.
std::string TraceItemLine(const TraceItem& item, uint32_t elapsedMs, const std::string& peer);
// The line that stands for blocks the output fell too far behind to print:
//      3.210 SKIP 1520 blocks 1556480 bytes
std::string TraceSkipLine(uint32_t elapsedMs, const TraceTraffic& skipped);

// The --summary line of one peer ("others" for the peers beyond the count):
//      5.000 PEER 127.0.0.2:40001 2 datagrams 10 bytes
std::string PeerSummaryLine(uint32_t elapsedMs, const PeerCount& count, bool datagrams);
