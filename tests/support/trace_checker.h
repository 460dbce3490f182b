// Walks a trace and checks that it is made of whole units: address or
// client-event quadruples, data blocks of one kind with running positions,
// and three-cell trailers with digit stamps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "trace/trace_buffer.h"

struct TraceBlock {
    TraceCellKind kind;
    std::vector<uint8_t> bytes;
    int stampTenths;  // the four stamp digits as a number
    bool addressed;   // preceded by address cells
};

struct TraceCheck {
    std::string error;  // empty when the trace is well formed
    std::vector<TraceBlock> blocks;
    int addressUnits = 0;
};

// startsMidUnit: the trace was compacted, so its first cells may be the tail
// of a unit; they are skipped up to the end of the first trailer.
TraceCheck CheckTrace(const std::vector<TraceCell>& cells, bool startsMidUnit);

std::vector<TraceCell> SnapshotTrace(const TraceBuffer& trace);
