// Drawing an input line and stored lines as grids of cells through a Canvas:
// a character row (the character, or the two-letter name of a control code)
// over a hex row, 64 cells of 2 * cw x ch pixels from x = 40.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/canvas.h"
#include "sending/input_line.h"
#include "sending/line_entry.h"

// Font measurements, as for the trace grid.
struct InputLineMetrics {
    int sh = 0;  // height of "W" in the small font
    int cw = 0;  // width of "W" in the large font
    int ch = 0;  // height of "W" in the large font
    // Pitch of the stored-line rows under the input line.
    int RowPitch() const { return sh + 2 * ch + 5; }
};

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const PixelRect&) const = default;
};

constexpr int kGridLeft = 40;  // x of the first cell

// The full repaint of the input line: cell frames, heading, the ASC and HEX
// labels (the current one on its highlight), index numbers and the visible
// codes. Settles the view (see TakeViewStart). A pending HEX digit is not
// drawn here. labelSlot: the color slot of the mode labels.
void PaintInputLine(Canvas& canvas, const InputLineMetrics& m, InputLine& line, std::u16string_view heading,
                    int labelSlot);

// Drawn at once while typing, after TakeTypedText: the codes it appended,
// each in the cell it takes in the view of the moment, and a first HEX digit
// that is now held, alone in the hex row of the next cell.
void DrawTypedText(Canvas& canvas, const InputLineMetrics& m, const InputLine& line, const TypingReport& report);

// The areas to repaint (invalidate). All span y from 24 to 42 + 2 * ch.
PixelRect WholeLineArea(const InputLineMetrics& m);
// Cells first..last by absolute index (only used while the view is at 0).
PixelRect LineCellsArea(const InputLineMetrics& m, int32_t first, int32_t last);
// After TakeTypedText: false when nothing needs repainting.
bool TypingRepaintArea(const InputLineMetrics& m, const TypingReport& report, PixelRect& area);
// After DeleteLastCode (Backspace, BS button): the removed code's cell, or the
// whole area while the line still fills half the view. A digit held at the
// end of the line was drawn in the cell after it, which is repainted too so
// that it does not stay on screen.
PixelRect BackspaceRepaintArea(const InputLineMetrics& m, const InputLine& line);

// Where a dialog draws its stored lines under the input line.
struct StoredRowsLayout {
    int characterTop;   // y of the first row's character row
    int numberTop;      // y of the first row's index numbers
    bool centreSingle;  // one-character texts centred in their cells
};
// The send history rows and the preset edit rows.
constexpr StoredRowsLayout kUnderInputLineRows{163, 152, true};
// The rows of the preset send dialog.
constexpr StoredRowsLayout kPresetSendRows{42, 30, false};

// Stored lines, one per row, RowPitch apart: the cell frames of every row,
// then for each non-empty line the index numbers and up to 64 codes.
void PaintStoredRows(Canvas& canvas, const InputLineMetrics& m, std::span<const LineEntry> rows,
                     const StoredRowsLayout& layout);
