// The trace drawn in the main window's client area: full repaint,
// incremental drawing on the timer, the counting stamp.
#pragma once

#include <windows.h>

#include "trace/trace_drawing.h"

void PaintTraceWindow(HWND mainWindow, HDC dc, const TraceBuffer& trace, TraceViewState& view);
void DrawNewCellsWindow(HWND mainWindow, const TraceBuffer& trace, TraceViewState& view);
void RedrawPendingStampWindow(HWND mainWindow, const TraceBuffer& trace, TraceViewState& view);
