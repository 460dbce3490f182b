// Where the trace view stands: the first cell shown and the grid size.
#pragma once

#include <cstdint>

struct TraceViewState {
    int32_t ViewTop = 0;       // first cell shown, a multiple of CellsPerRow
    int32_t CellsPerRow = 0;   // cells in one screen line (0 until measured)
    int32_t ScreenRows = 0;    // screen lines that fit
    int32_t FollowNewest = 1;  // 1: the view always shows the newest cells
};

extern TraceViewState g_View;

// The scroll commands. Forward moves toward newer cells, back toward older
// ones; while following the newest cells neither moves. A grid that is not
// measured yet (CellsPerRow 0) never divides by zero.
void ScrollForward(TraceViewState& view, int32_t writeIndex, int32_t pitchLines);
void ScrollBack(TraceViewState& view, int32_t pitchLines);
void JumpToLastLine(TraceViewState& view, int32_t writeIndex);
void JumpToFirstLine(TraceViewState& view);

// Start of the screen line where the next cell goes, and with it the end
// mark: the last line of the trace (0 when empty or not measured).
int32_t StartOfEndLine(int32_t writeIndex, int32_t cellsPerRow);
