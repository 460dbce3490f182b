// Drawing the trace as a grid: each screen line has a READ half and a SEND
// half with position numbers, a character row and a hexadecimal row; the
// stamp line under the READ half carries the elapsed-time stamps, the
// open/close marks and the line numbers. Everything is drawn through a
// Canvas, in color slots of the active colors.
#pragma once

#include "appearance/trace_metrics.h"
#include "platform/canvas.h"
#include "trace/trace_buffer.h"
#include "trace/trace_view_state.h"

// Grid size for a client area (0 when it is too small for a column or a line).
void MeasureGrid(TraceViewState& view, const TraceMetrics& m, int clientWidth, int clientHeight);

// First cell shown while following: the line holding the last cell ends up
// on the bottom screen line.
int32_t FollowTopFor(int32_t writeIndex, int32_t cellsPerRow, int32_t screenRows);

// The full repaint.
void PaintTrace(Canvas& canvas, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& view,
                int clientWidth, int clientHeight);

// Draws the cells appended since the last drawing, sweeping down the
// screen and wrapping to the top line.
void DrawNewCells(Canvas& canvas, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& view);

// Redraws the digits of a stamp in place: the newest one (useOld false), or
// the one drawn last (useOld true, its final digits once a new block came).
void RedrawStamp(Canvas& canvas, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& view,
                 bool useOld);

// Empties the trace and the view together (the clear command, start-up).
void ClearTraceAndView(TraceBuffer& trace, TraceViewState& view);
