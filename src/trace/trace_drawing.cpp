#include "trace/trace_drawing.h"

#include <algorithm>

#include "appearance/color_scheme.h"
#include "common/control_mnemonic.h"
#include "platform/text.h"

namespace {

constexpr int kCopyChunk = 1024;  // cells copied out of the trace at a time

// ---- geometry ----

int Top(const TraceMetrics& m, int row) { return row * m.Line(); }
int ColumnX(const TraceMetrics& m, int column) { return m.x0 + 2 * m.cw * column; }
int PositionY(const TraceMetrics& m, int top, bool send) { return top + 28 + (send ? m.HalfLine() : 0); }
int CharacterY(const TraceMetrics& m, int top, bool send) {
    return send ? top + m.HalfLine() + m.sh + 30 : top + m.sh + 29;
}
int HexY(const TraceMetrics& m, int top, bool send) { return CharacterY(m, top, send) + m.ch; }
int StampY(const TraceMetrics& m, int top) { return top + m.sh + 2 * m.ch + 29; }
// Bands sit one pixel below the READ glyphs and one above the SEND glyphs.
int CharacterBandY(const TraceMetrics& m, int top, bool send) {
    return send ? top + m.HalfLine() + m.sh + 29 : top + m.sh + 30;
}

bool OddColumn(int column) { return column % 2 == 1; }

// ---- grid ----

void DrawBands(Canvas& c, const TraceMetrics& m, const TraceViewState& v, int row) {
    int top = Top(m, row);
    for (int column = 0; column < v.CellsPerRow; ++column) {
        int x = ColumnX(m, column);
        int asc = OddColumn(column) ? kAscBack1 : kAscBack2;
        int hex = OddColumn(column) ? kHexBack1 : kHexBack2;
        for (bool send : {false, true}) {
            int y = CharacterBandY(m, top, send);
            c.Rect(x, y, x + 2 * m.cw, y + m.ch, asc);
            c.Rect(x, y + m.ch, x + 2 * m.cw, y + 2 * m.ch, hex);
        }
    }
}

void DrawLineFrame(Canvas& c, const TraceMetrics& m, const TraceViewState& v, int row) {
    int top = Top(m, row);
    int separator = (row + 1) * m.Line() + 24;
    c.Line(0, separator, v.RightEdge, separator, kTextColor);
    c.Line(0, separator + 1, v.RightEdge, separator + 1, kTextColor);
    c.Text(0, top + m.sh + m.ch - m.ch / 2 + 30, u"READ:", CanvasFont::Default, kTextColor, kTransparent);
    c.Text(0, top + m.HalfLine() + m.sh + m.ch / 2 + 28, u"SEND:", CanvasFont::Default, kTextColor, kTransparent);
    DrawBands(c, m, v, row);
}

void ClearLine(Canvas& c, const TraceMetrics& m, const TraceViewState& v, int row) {
    c.Rect(m.x0, Top(m, row) + 27, v.RightEdge, (row + 1) * m.Line() + 23, kWindowBack);
    DrawBands(c, m, v, row);
}

// ---- cells ----

void DrawNumber(Canvas& c, int x, int y, int number, int textSlot, int backSlot) {
    char16_t text[8];
    FormatText(text, u"%03d", {number});
    c.Text(x, y, TextView(text), CanvasFont::Small, textSlot, backSlot);
}

void DrawDataCell(Canvas& c, const TraceMetrics& m, const TraceCell& cell, int x, int top, int column) {
    bool send = cell.kind == Sent;
    DrawNumber(c, x, PositionY(m, top, send), cell.pos, kTextColor, kWindowBack);
    char16_t character[2];
    int length = ControlMnemonic(cell.value, character);
    int cx = length == 2 ? x : x + m.cw / 2;
    c.Text(cx, CharacterY(m, top, send), std::u16string_view(character, length), CanvasFont::Large, kDataText,
           OddColumn(column) ? kAscBack1 : kAscBack2);
    char16_t hex[4];
    FormatText(hex, u"%02X", {int(cell.value)});
    c.Text(x, HexY(m, top, send), TextView(hex), CanvasFont::Large, kDataText,
           OddColumn(column) ? kHexBack1 : kHexBack2);
}

std::u16string_view OpenClosePiece(uint8_t value) {
    switch (value) {
    case 1: return u"< ";
    case 2: return u"Op";
    case 3: return u"en";
    case 4: return u" >";
    case 11: return u"< ";
    case 12: return u"Cl";
    case 13: return u"os";
    case 14: return u"e>";
    default: return u"";
    }
}

void DrawCell(Canvas& c, const TraceMetrics& m, TraceViewState& v, const TraceCell& cell) {
    int column = v.DrawColumn;
    int x = ColumnX(m, column);
    int top = Top(m, v.DrawRow);
    switch (cell.kind) {
    case Received:
    case Sent:
        DrawDataCell(c, m, cell, x, top, column);
        break;
    case StampLabel:
    case StampHigh:
    case StampLow: {
        const char16_t pair[2] = {cell.value, cell.value2};
        c.Text(x, StampY(m, top), std::u16string_view(pair, 2), CanvasFont::Large, kStampText, kWindowBack);
        if (cell.kind == StampHigh) v.StampHigh = {x, StampY(m, top)};
        if (cell.kind == StampLow) v.StampLow = {x, StampY(m, top)};
        break;
    }
    case ClientEvent: {
        DrawNumber(c, x, PositionY(m, top, false), cell.pos, kOpenCloseText, kTransparent);
        std::u16string_view piece = OpenClosePiece(cell.value);
        if (!piece.empty()) c.Text(x, StampY(m, top), piece, CanvasFont::Large, kOpenCloseText, kTransparent);
        break;
    }
    case FromAddress:
    case ToAddress:
        DrawNumber(c, x, PositionY(m, top, cell.kind == ToAddress), cell.pos, kAddressText, kTransparent);
        break;
    default:
        break;
    }
}

void DrawLineNumber(Canvas& c, const TraceMetrics& m, int row, int32_t lineNumber) {
    char16_t text[12];
    FormatText(text, u"%04d", {lineNumber});
    c.Text(5, StampY(m, Top(m, row)), TextView(text), CanvasFont::Default, kTextColor, kTransparent);
}

// One column on; a new line is cleared first, and after the bottom line the
// sweep starts again at the top.
void Advance(Canvas& c, const TraceMetrics& m, TraceViewState& v) {
    if (++v.DrawColumn < v.CellsPerRow) return;
    v.DrawColumn = 0;
    if (++v.DrawRow >= v.ScreenRows) v.DrawRow = 0;
    ClearLine(c, m, v, v.DrawRow);
}

void DrawEndMark(Canvas& c, const TraceMetrics& m, TraceViewState& v) {
    int top = Top(m, v.DrawRow);
    v.EndMarkX = ColumnX(m, v.DrawColumn);
    v.EndMarkReadY = PositionY(m, top, false);
    v.EndMarkSendY = PositionY(m, top, true);
    c.Text(v.EndMarkX, v.EndMarkReadY, u"EOF", CanvasFont::Small, kEofText, kEofBack);
    c.Text(v.EndMarkX, v.EndMarkSendY, u"EOF", CanvasFont::Small, kEofText, kEofBack);
}

void EraseEndMark(Canvas& c, const TraceViewState& v) {
    c.Text(v.EndMarkX, v.EndMarkReadY, u"    ", CanvasFont::Small, kTextColor, kWindowBack);
    c.Text(v.EndMarkX, v.EndMarkSendY, u"    ", CanvasFont::Small, kTextColor, kWindowBack);
}

bool GridUsable(const TraceViewState& v) { return v.CellsPerRow > 0 && v.ScreenRows > 0; }

// What the extent holds is on the screen, and so is its pending stamp.
void MarkAllDrawn(TraceViewState& v, const TraceExtent& extent) {
    PlaceReaderAtEnd(v.Drawn, extent);
    v.LastDrawnStamp = extent.PendingStamp;
}

// Of a backlog longer than the screen, the sweep would draw over all but the
// last screenful again in the same tick. It moves past those cells as if it
// had drawn them, landing on the start of a line, which it clears as it would
// have on reaching it. Returns how many cells it skipped.
int32_t SkipBacklog(Canvas& c, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& v,
                    int32_t backlog) {
    int32_t screen = v.CellsPerRow * v.ScreenRows;
    if (backlog <= screen) return 0;
    int32_t position = v.DrawRow * v.CellsPerRow + v.DrawColumn;
    int32_t skip = backlog - screen;
    skip -= (position + skip) % v.CellsPerRow;
    if (skip <= 0) return 0;
    skip = SkipTrace(trace, v.Drawn, skip);
    int32_t landing = (position + skip) % screen;
    v.DrawRow = landing / v.CellsPerRow;
    v.DrawColumn = landing % v.CellsPerRow;
    ClearLine(c, m, v, v.DrawRow);
    return skip;
}

// Draws cells [start, end) from the top-left of the screen.
void DrawRange(Canvas& c, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& v, int32_t start,
               int32_t end) {
    TraceCell cells[kCopyChunk];
    for (int32_t at = start; at < end;) {
        int32_t n = CopyTraceCells(trace, at, std::min(end - at, kCopyChunk), cells);
        if (n <= 0) break;
        for (int32_t i = 0; i < n; ++i) {
            int32_t k = at + i - start;
            v.DrawRow = k / v.CellsPerRow;
            v.DrawColumn = k % v.CellsPerRow;
            DrawCell(c, m, v, cells[i]);
            if (v.DrawColumn == 0) DrawLineNumber(c, m, v.DrawRow, (at + i) / v.CellsPerRow);
        }
        at += n;
    }
}

}  // namespace

void MeasureGrid(TraceViewState& view, const TraceMetrics& m, int clientWidth, int clientHeight) {
    view.RightEdge = clientWidth - 6;
    int usable = clientWidth - 6 - m.x0 - 10;
    view.CellsPerRow = (m.cw > 0 && usable > 0) ? usable / (2 * m.cw) : 0;
    view.ScreenRows = (m.Line() > 0 && clientHeight > 40) ? (clientHeight - 40) / m.Line() : 0;
}

int32_t FollowTopFor(int32_t writeIndex, int32_t cellsPerRow, int32_t screenRows) {
    if (cellsPerRow <= 0 || writeIndex <= 0) return 0;
    int32_t lines = writeIndex / cellsPerRow + (writeIndex % cellsPerRow ? 1 : 0);
    return cellsPerRow * std::max(0, lines - screenRows);
}

void PaintTrace(Canvas& c, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& v, int clientWidth,
                int clientHeight) {
    MeasureGrid(v, m, clientWidth, clientHeight);
    for (int row = 0; row < v.ScreenRows; ++row) DrawLineFrame(c, m, v, row);
    TraceExtent extent = ExtentOf(trace);
    int32_t count = extent.Count;
    if (!GridUsable(v)) {
        MarkAllDrawn(v, extent);  // nothing fits: nothing to draw, now or on the next tick
        return;
    }
    v.FollowTop = FollowTopFor(count, v.CellsPerRow, v.ScreenRows);
    int32_t start = v.FollowNewest == 1 ? v.FollowTop : v.ViewTop;
    int32_t end = v.FollowNewest == 1 ? count : std::min<int64_t>(count, int64_t(v.ViewTop) + int64_t(v.ScreenRows) * v.CellsPerRow);
    if (start >= end) {
        v.ViewTop = start;
        v.DrawRow = v.DrawColumn = 0;
    } else {
        DrawRange(c, m, trace, v, start, end);
        Advance(c, m, v);
        if (v.FollowNewest == 1) v.ViewTop = v.FollowTop;
    }
    MarkAllDrawn(v, extent);
    if (end == count) DrawEndMark(c, m, v);
}

void DrawNewCells(Canvas& c, const TraceMetrics& m, const TraceBuffer& trace, TraceViewState& v) {
    RedrawStamp(c, m, trace, v, true);
    if (!GridUsable(v)) {
        MarkAllDrawn(v, ExtentOf(trace));
        return;
    }
    EraseEndMark(c, v);
    // A peer that floods must not keep the window drawing: a tick draws what
    // had arrived when it began, and of a backlog longer than the screen only
    // what stays visible.
    int32_t budget = UnreadCount(trace, v.Drawn);
    budget -= SkipBacklog(c, m, trace, v, budget);
    TraceCell cells[kCopyChunk];
    for (int32_t n; budget > 0 && (n = ReadTrace(trace, v.Drawn, cells, std::min(budget, kCopyChunk))) > 0;
         budget -= n) {
        for (int32_t i = 0; i < n; ++i) {
            DrawCell(c, m, v, cells[i]);
            Advance(c, m, v);
        }
    }
    DrawEndMark(c, m, v);
}

void RedrawStamp(Canvas& c, const TraceMetrics&, const TraceBuffer& trace, TraceViewState& v, bool useOld) {
    if (v.StampHigh.x == 0 || v.StampHigh.y == 0) return;
    char16_t high[2], low[2];
    uint64_t pending = 0;
    if (!ReadCountingStamp(trace, useOld ? v.LastDrawnStamp : kPendingStamp, high, low, pending)) return;
    v.LastDrawnStamp = pending;
    c.Text(v.StampHigh.x, v.StampHigh.y, std::u16string_view(high, 2), CanvasFont::Large, kStampText, kWindowBack);
    c.Text(v.StampLow.x, v.StampLow.y, std::u16string_view(low, 2), CanvasFont::Large, kStampText, kWindowBack);
}

void ClearTraceAndView(TraceBuffer& trace, TraceViewState& view) {
    ClearTrace(trace);
    ResetTraceView(view);
}
