#include "trace/trace_view.h"

#include "appearance/gdi_colors_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "platform/gdi_canvas_win32.h"
#include "trace/trace_drawing.h"

namespace {

TraceMetrics metrics;

SIZE Extent(HDC dc, HFONT font, const wchar_t* text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    return size;
}

GdiCanvas CanvasOn(HDC dc) {
    return GdiCanvas(dc, TraceFonts(), g_ActiveColors.Value, kColorSlots);
}

}  // namespace

void MeasureTraceFonts(HWND mainWindow) {
    HDC dc = GetDC(mainWindow);
    const CanvasFonts& fonts = TraceFonts();
    SIZE smallW = Extent(dc, fonts.small, L"W");
    SIZE largeW = Extent(dc, fonts.large, L"W");
    metrics = {smallW.cy, largeW.cx, largeW.cy, Extent(dc, fonts.large, L"SEND:").cx};
    ReleaseDC(mainWindow, dc);
}

const TraceMetrics& TraceFontMetrics() { return metrics; }

void PaintTraceWindow(HWND mainWindow, HDC dc) {
    RECT client;
    GetClientRect(mainWindow, &client);
    GdiCanvas canvas = CanvasOn(dc);
    PaintTrace(canvas, metrics, g_Trace, g_View, client.right, client.bottom);
}

void DrawNewCellsWindow(HWND mainWindow) {
    HDC dc = GetDC(mainWindow);
    {
        GdiCanvas canvas = CanvasOn(dc);
        DrawNewCells(canvas, metrics, g_Trace, g_View);
    }
    ReleaseDC(mainWindow, dc);
}

void RedrawPendingStampWindow(HWND mainWindow) {
    HDC dc = GetDC(mainWindow);
    {
        GdiCanvas canvas = CanvasOn(dc);
        RedrawStamp(canvas, metrics, g_Trace, g_View, false);
    }
    ReleaseDC(mainWindow, dc);
}
