// What one timer tick costs the view for a received 1,023-byte block.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/canvas.h"
#include "trace/trace_drawing.h"

namespace {

// Counts operations without keeping them, like a cheap drawing surface.
class CountingCanvas : public Canvas {
public:
    void Text(int, int, std::u16string_view, CanvasFont, int, int) override { ++ops; }
    void Rect(int, int, int, int, int) override { ++ops; }
    void Line(int, int, int, int, int) override { ++ops; }
    int64_t ops = 0;
};

void BM_DrawNewCellsPerBlock(benchmark::State& state) {
    static TraceBuffer trace;
    AllocateTrace(trace);
    ClearTrace(trace);
    TraceViewState view;
    const TraceMetrics metrics{10, 9, 18, 40};
    CountingCanvas canvas;
    PaintTrace(canvas, metrics, trace, view, 1280, 1000);
    std::vector<uint8_t> block(1023, 0x41);
    for (auto _ : state) {
        state.PauseTiming();
        AppendTrace(trace, block.data(), 1023, Received);
        state.ResumeTiming();
        DrawNewCells(canvas, metrics, trace, view);
    }
    state.counters["draw_ops/s"] = benchmark::Counter(double(canvas.ops), benchmark::Counter::kIsRate);
    state.counters["ops/tick"] = double(canvas.ops) / double(state.iterations());
}
BENCHMARK(BM_DrawNewCellsPerBlock);

}  // namespace
