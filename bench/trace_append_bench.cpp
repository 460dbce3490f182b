#include <benchmark/benchmark.h>

#include <vector>

#include "trace/trace_buffer.h"

namespace {

// Received-size blocks appended back to back, compaction included.
void BM_AppendTrace1023(benchmark::State& state) {
    static TraceBuffer trace;
    AllocateTrace(trace);
    ClearTrace(trace);
    std::vector<uint8_t> block(1023, 0x5A);
    for (auto _ : state) AppendTrace(trace, block.data(), 1023, Received);
    state.counters["cells/s"] = benchmark::Counter(double(state.iterations()) * 1026, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(int64_t(state.iterations()) * 1023);
}
BENCHMARK(BM_AppendTrace1023);

void BM_StampPendingTrailer(benchmark::State& state) {
    static TraceBuffer trace;
    AllocateTrace(trace);
    ClearTrace(trace);
    uint8_t byte = 1;
    AppendTrace(trace, &byte, 1, Received);
    for (auto _ : state) StampPendingTrailer(trace);
}
BENCHMARK(BM_StampPendingTrailer);

}  // namespace
