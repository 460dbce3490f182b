#include <benchmark/benchmark.h>

#include <vector>

#include "trace/trace_capture.h"
#include "trace/trace_export.h"

namespace {

// A full trace of received-size blocks, as the Export command meets it.
std::vector<TraceCell> FullTrace() {
    static TraceBuffer trace;
    AllocateTrace(trace);
    std::vector<uint8_t> block(1023);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    while (TraceCount(trace) < kTraceCompactThreshold - 1100) AppendTrace(trace, block.data(), 1023, Received);
    std::vector<TraceCell> cells(kTraceCapacity);
    cells.resize(CopyTraceCells(trace, 0, kTraceCapacity, cells.data()));
    return cells;
}

void BM_ExportFullTrace(benchmark::State& state) {
    static const std::vector<TraceCell> cells = FullTrace();
    ExportFormat format = static_cast<ExportFormat>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportTrace(cells.data(), static_cast<int32_t>(cells.size()), format, ExportEndpoints{}));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(cells.size()));
}
BENCHMARK(BM_ExportFullTrace)->Arg(int(ExportFormat::Text))->Arg(int(ExportFormat::Csv))->Arg(int(ExportFormat::Pcap));

// What the receive thread pays while a capture is on: appends with the
// spill at each compaction, the capture never taking its cells (the worst
// case, a timer that does not come).
void BM_AppendWhileCapturing(benchmark::State& state) {
    static TraceBuffer trace;
    AllocateTrace(trace);
    ClearTrace(trace);
    std::vector<uint8_t> block(1023, 0x5A);
    std::vector<TraceCell> taken;
    std::vector<TraceCellNote> notes;
    KeepTraceFromNow(trace, true);
    int64_t n = 0;
    for (auto _ : state) {
        AppendTrace(trace, block.data(), 1023, Received);
        if (++n % 512 == 0) TakeKept(trace, taken, notes);  // about four compactions between takes
    }
    KeepTraceFromNow(trace, false);
    state.SetBytesProcessed(n * 1023);
}
BENCHMARK(BM_AppendWhileCapturing);

}  // namespace
