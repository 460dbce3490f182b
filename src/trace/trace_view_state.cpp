#include "trace/trace_view_state.h"

#include <algorithm>

namespace {

int64_t Step(const TraceViewState& view, int32_t pitchLines) {
    return static_cast<int64_t>(pitchLines) * std::max<int32_t>(view.CellsPerRow, 0);
}

int32_t ClampToCells(int64_t top) { return static_cast<int32_t>(std::clamp<int64_t>(top, 0, INT32_MAX)); }

}  // namespace

void ResetTraceView(TraceViewState& view) {
    TraceViewState reset;
    reset.CellsPerRow = view.CellsPerRow;
    reset.ScreenRows = view.ScreenRows;
    reset.RightEdge = view.RightEdge;
    reset.FollowNewest = view.FollowNewest;
    view = reset;
}

int32_t StartOfEndLine(int32_t writeIndex, int32_t cellsPerRow) {
    if (writeIndex <= 0 || cellsPerRow <= 0) return 0;
    return writeIndex / cellsPerRow * cellsPerRow;
}

void ScrollForward(TraceViewState& view, int32_t writeIndex, int32_t pitchLines) {
    if (view.FollowNewest == 1) return;
    int64_t top = static_cast<int64_t>(view.ViewTop) + Step(view, pitchLines);
    if (top > static_cast<int64_t>(writeIndex) - 1) top = StartOfEndLine(writeIndex, view.CellsPerRow);
    view.ViewTop = ClampToCells(top);
}

void ScrollBack(TraceViewState& view, int32_t pitchLines) {
    if (view.FollowNewest == 1) return;
    view.ViewTop = ClampToCells(static_cast<int64_t>(view.ViewTop) - Step(view, pitchLines));
}

void JumpToLastLine(TraceViewState& view, int32_t writeIndex) {
    view.ViewTop = StartOfEndLine(writeIndex, view.CellsPerRow);
}

void JumpToFirstLine(TraceViewState& view) { view.ViewTop = 0; }
