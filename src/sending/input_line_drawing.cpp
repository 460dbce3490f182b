#include "sending/input_line_drawing.h"

#include <algorithm>

#include "appearance/color_scheme.h"
#include "common/text_table.h"
#include "platform/text.h"

namespace {

constexpr int kLineCharacterTop = 40;
constexpr int kLineNumberTop = 25;
constexpr int kAreaTop = 24;

int CellX(const InputLineMetrics& m, int column) { return kGridLeft + 2 * m.cw * column; }
bool OddColumn(int column) { return column % 2 == 1; }
int AscBack(int column) { return OddColumn(column) ? kAscBack1 : kAscBack2; }
int HexBack(int column) { return OddColumn(column) ? kHexBack1 : kHexBack2; }

// One row of 64 frames, each in the color of its cell's background.
void DrawFrames(Canvas& c, const InputLineMetrics& m, int characterTop) {
    for (int column = 0; column < kVisibleCells; ++column) {
        int x = CellX(m, column);
        c.Rect(x, characterTop, x + 2 * m.cw, characterTop + m.ch, AscBack(column));
        c.Rect(x, characterTop + m.ch, x + 2 * m.cw, characterTop + 2 * m.ch, HexBack(column));
    }
}

void DrawIndexNumber(Canvas& c, const InputLineMetrics& m, int column, int y, int32_t number) {
    char16_t text[12];
    FormatText(text, u"%03d", {number});
    c.Text(CellX(m, column), y, TextView(text), CanvasFont::Small, kTextColor, kTransparent);
}

void DrawCode(Canvas& c, const InputLineMetrics& m, int column, int characterTop, char16_t code, bool centreSingle) {
    CellTexts texts = CellTextsOf(code);
    int x = CellX(m, column);
    int characterX = texts.characterLength == 1 && centreSingle ? x + m.cw / 2 : x;
    c.Text(characterX, characterTop, std::u16string_view(texts.character, texts.characterLength), CanvasFont::Large,
           kTextColor, AscBack(column));
    c.Text(x, characterTop + m.ch, std::u16string_view(texts.hex, 2), CanvasFont::Large, kTextColor, HexBack(column));
}

void DrawModeLabel(Canvas& c, TextNumber text, int y, bool current, int labelSlot) {
    char16_t label[kAppTextCapacity] = u"";
    GetAppText(text, label);
    c.Text(0, y, TextView(label), CanvasFont::Small, labelSlot, current ? kAscHexBack : kTransparent);
}

int AreaBottom(const InputLineMetrics& m) { return 42 + 2 * m.ch; }

}  // namespace

void PaintInputLine(Canvas& canvas, const InputLineMetrics& m, InputLine& line, std::u16string_view heading,
                    int labelSlot) {
    DrawFrames(canvas, m, kLineCharacterTop);
    canvas.Text(kGridLeft, 5, heading, CanvasFont::Large, kTextColor, kTransparent);
    bool asc = line.entryMode == kAscEntry;
    DrawModeLabel(canvas, kTextAsc, 45, asc, labelSlot);
    DrawModeLabel(canvas, kTextHex, 65, !asc, labelSlot);
    int32_t view = TakeViewStart(line);
    for (int column = 0; column < kVisibleCells; ++column)
        DrawIndexNumber(canvas, m, column, kLineNumberTop, view + column);
    int32_t shown = std::clamp(line.length - view, 0, kVisibleCells);
    for (int column = 0; column < shown; ++column)
        DrawCode(canvas, m, column, kLineCharacterTop, line.codes[view + column], true);
}

void DrawTypedText(Canvas& canvas, const InputLineMetrics& m, const InputLine& line, const TypingReport& report) {
    int32_t end = std::min(report.firstNewCode + report.newCodes, line.length);
    for (int32_t index = std::max(report.firstNewCode, 0); index < end; ++index) {
        int32_t column = index - TypingViewStart(line, index);
        if (column >= 0 && column < kVisibleCells) DrawCode(canvas, m, column, kLineCharacterTop, line.codes[index], true);
    }
    if (!report.pendingDigitShown || line.entryMode != kHexDigitPending) return;
    int32_t column = line.length - TypingViewStart(line, line.length);
    if (column < 0 || column >= kVisibleCells) return;
    canvas.Text(CellX(m, column), kLineCharacterTop + m.ch, std::u16string_view(line.pendingDigits, 1),
                CanvasFont::Large, kTextColor, HexBack(column));
}

PixelRect WholeLineArea(const InputLineMetrics& m) {
    return {kGridLeft, kAreaTop, 42 + 2 * m.cw * kVisibleCells, AreaBottom(m)};
}

PixelRect LineCellsArea(const InputLineMetrics& m, int32_t first, int32_t last) {
    return {CellX(m, first), kAreaTop, 42 + 2 * m.cw * (last + 1), AreaBottom(m)};
}

bool TypingRepaintArea(const InputLineMetrics& m, const TypingReport& report, PixelRect& area) {
    if (report.repaintWhole) {
        area = WholeLineArea(m);
        return true;
    }
    if (report.repaintFirstCell < 0) return false;
    area = LineCellsArea(m, report.repaintFirstCell, report.repaintLastCell);
    return true;
}

PixelRect BackspaceRepaintArea(const InputLineMetrics& m, const InputLine& line) {
    if (line.length >= kViewStep) return WholeLineArea(m);
    int32_t last = line.entryMode == kHexDigitPending ? line.length + 1 : line.length;
    return LineCellsArea(m, line.length, last);
}

void PaintStoredRows(Canvas& canvas, const InputLineMetrics& m, std::span<const LineEntry> rows,
                     const StoredRowsLayout& layout) {
    const int pitch = m.RowPitch();
    for (size_t k = 0; k < rows.size(); ++k) DrawFrames(canvas, m, layout.characterTop + pitch * int(k));
    for (size_t k = 0; k < rows.size(); ++k) {
        const LineEntry& entry = rows[k];
        int32_t shown = std::clamp(entry.count, 0, kVisibleCells);
        for (int column = 0; column < shown; ++column)
            DrawIndexNumber(canvas, m, column, layout.numberTop + pitch * int(k), column);
        for (int column = 0; column < shown; ++column)
            DrawCode(canvas, m, column, layout.characterTop + pitch * int(k), entry.codes[column], layout.centreSingle);
    }
}
