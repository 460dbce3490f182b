#include "trace/trace_view.h"

#include "appearance/gdi_colors_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "platform/gdi_canvas_win32.h"

namespace {

GdiCanvas CanvasOn(HDC dc) { return GdiCanvas(dc, TraceFonts(), g_ActiveColors.Value, kColorSlots); }

}  // namespace

void PaintTraceWindow(HWND mainWindow, HDC dc, const TraceBuffer& trace, TraceViewState& view) {
    RECT client;
    GetClientRect(mainWindow, &client);
    GdiCanvas canvas = CanvasOn(dc);
    PaintTrace(canvas, TraceFontMetrics(), trace, view, client.right, client.bottom);
}

void DrawNewCellsWindow(HWND mainWindow, const TraceBuffer& trace, TraceViewState& view) {
    HDC dc = GetDC(mainWindow);
    {
        GdiCanvas canvas = CanvasOn(dc);
        DrawNewCells(canvas, TraceFontMetrics(), trace, view);
    }
    ReleaseDC(mainWindow, dc);
}

void RedrawPendingStampWindow(HWND mainWindow, const TraceBuffer& trace, TraceViewState& view) {
    HDC dc = GetDC(mainWindow);
    {
        GdiCanvas canvas = CanvasOn(dc);
        RedrawStamp(canvas, TraceFontMetrics(), trace, view, false);
    }
    ReleaseDC(mainWindow, dc);
}
