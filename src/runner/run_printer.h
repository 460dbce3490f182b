// Standard output of a run: one line per block or client event, whole
// blocks only. A poll prints at most a budget of cells, so that a flood
// never keeps the run from its clock and its files; when the trace dropped
// cells before they were printed, one line says how many blocks and bytes
// were skipped, and the lines go on with the next whole block. An output
// that a reader closed stops the printing and nothing else.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runner/trace_lines.h"
#include "trace/trace_buffer.h"

class RunPrinter {
public:
    // Writes a piece of standard output; false once the output is closed.
    using Write = std::function<bool(const std::string&)>;

    // `peer`: the text shown for blocks without address cells.
    RunPrinter(std::string peer, bool quiet, Write write);

    // What came since the last poll, up to the budget.
    void Poll(const TraceBuffer& trace, uint32_t elapsedMs);
    // All that is left, a block still without its trailer included.
    void Finish(const TraceBuffer& trace, uint32_t elapsedMs);

private:
    void Print(const TraceBuffer& trace, int32_t budget, uint32_t elapsedMs);
    void Send();

    bool printing_;
    Write write_;
    TraceReader reader_;
    TraceTraffic skipped_;
    std::string pending_;
    TraceLineWriter lines_;
};
