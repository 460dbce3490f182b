// Where the trace view stands: the first cell shown, the grid size, and its
// own place in the trace (what it has drawn).
#pragma once

#include <cstdint>

#include "trace/trace_buffer.h"

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct TraceViewState {
    int32_t ViewTop = 0;       // first cell shown, a multiple of CellsPerRow
    int32_t CellsPerRow = 0;   // cells in one screen line (0 until measured)
    int32_t ScreenRows = 0;    // screen lines that fit
    int32_t FollowNewest = 1;  // 1: the view always shows the newest cells
    int32_t FollowTop = 0;     // first cell shown while following
    int32_t RightEdge = 0;     // x where the grid ends

    // Where the next cell is drawn.
    int32_t DrawRow = 0;
    int32_t DrawColumn = 0;
    // The newest stamp on the screen, redrawn in place while it counts.
    ScreenPoint StampHigh;
    ScreenPoint StampLow;
    // The end mark on the screen (x and its READ and SEND y).
    int32_t EndMarkX = 0;
    int32_t EndMarkReadY = 0;
    int32_t EndMarkSendY = 0;

    // The cells drawn so far, and the stamp drawn last (the sequence number
    // of its StampHigh cell), whose final digits are drawn once it stops.
    TraceReader Drawn;
    uint64_t LastDrawnStamp = 0;
};

// The scroll commands. Forward moves toward newer cells, back toward older
// ones; while following the newest cells neither moves. A grid that is not
// measured yet (CellsPerRow 0) never divides by zero.
void ScrollForward(TraceViewState& view, int32_t writeIndex, int32_t pitchLines);
void ScrollBack(TraceViewState& view, int32_t pitchLines);
void JumpToLastLine(TraceViewState& view, int32_t writeIndex);
void JumpToFirstLine(TraceViewState& view);

// Back to the top-left with nothing drawn (the grid size stays).
void ResetTraceView(TraceViewState& view);

// Start of the screen line where the next cell goes, and with it the end
// mark: the last line of the trace (0 when empty or not measured).
int32_t StartOfEndLine(int32_t writeIndex, int32_t cellsPerRow);
