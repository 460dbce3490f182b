// The runner's text lines: trace cells, as the receive thread and the send
// path record them, turned into one line per block or client event:
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

#include "trace/trace_buffer.h"

class TraceLineReader {
public:
    // `peer`: the text shown for blocks without address cells.
    TraceLineReader(std::string peer, std::function<void(const std::string&)> emit);

    // Cells in trace order, seen `elapsedMs` after the run began. A block may
    // arrive over several calls.
    void Feed(const TraceCell* cells, int32_t count, uint32_t elapsedMs);
    // Emits what is still held (an empty datagram's address, a cut block).
    void Flush(uint32_t elapsedMs);

private:
    void OnAddress(const TraceCell& cell, uint32_t elapsedMs);
    void EmitBlock(uint32_t elapsedMs);

    std::string peer_;
    std::function<void(const std::string&)> emit_;
    std::string bytes_;
    uint8_t kind_ = 0;
    uint8_t octets_[4] = {};
    int32_t addressCells_ = 0;
    uint8_t addressKind_ = 0;
    bool addressReady_ = false;  // four address cells wait for their block
};

// One block's line.
std::string TraceBlockLine(uint32_t elapsedMs, bool received, const std::string& peer, const std::string& bytes);
