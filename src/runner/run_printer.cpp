#include "runner/run_printer.h"

#include <limits>

namespace {

// About 100 KB of output a poll: far more than any device sends in 10 ms
// but a flood, and little enough that the clock and the files keep their turn.
constexpr int32_t kCellsPerPoll = 32768;
constexpr int32_t kCellsPerRead = 4096;

bool operator!=(const TraceTraffic& a, const TraceTraffic& b) { return !(a == b); }

TraceTraffic Since(const TraceTraffic& now, const TraceTraffic& before) {
    return {now.Blocks - before.Blocks, now.Bytes - before.Bytes};
}

}  // namespace

RunPrinter::RunPrinter(std::string peer, bool quiet, Write write)
    : printing_(!quiet), write_(std::move(write)),
      lines_(std::move(peer), [this](const std::string& line) { pending_ += line + '\n'; }) {}

void RunPrinter::Poll(const TraceBuffer& trace, uint32_t elapsedMs) { Print(trace, kCellsPerPoll, elapsedMs); }

void RunPrinter::Finish(const TraceBuffer& trace, uint32_t elapsedMs) {
    Print(trace, std::numeric_limits<int32_t>::max(), elapsedMs);
    if (!printing_) return;
    lines_.Flush(elapsedMs);
    Send();
}

void RunPrinter::Print(const TraceBuffer& trace, int32_t budget, uint32_t elapsedMs) {
    if (!printing_) return;
    TraceCell cells[kCellsPerRead];
    while (budget > 0) {
        int32_t n = ReadTrace(trace, reader_, cells, std::min(budget, kCellsPerRead));
        if (reader_.Missed != skipped_) {
            // A block begun before the gap is no part of what comes after it:
            // its first bytes are skipped with the rest of it.
            TraceTraffic gap = Since(reader_.Missed, skipped_);
            gap.Bytes += lines_.Drop();
            pending_ += TraceSkipLine(elapsedMs, gap) + '\n';
            skipped_ = reader_.Missed;
        }
        if (n <= 0) break;
        lines_.Feed(cells, n, elapsedMs);
        budget -= n;
    }
    Send();
}

void RunPrinter::Send() {
    if (!pending_.empty() && !write_(pending_)) printing_ = false;
    pending_.clear();
}
