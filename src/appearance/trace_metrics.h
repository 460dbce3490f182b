// The measurements of the trace fonts that the trace grid and the grids of
// the sending dialogs are built from.
#pragma once

struct TraceMetrics {
    int sh = 0;  // height of "W" in the small font
    int cw = 0;  // width of "W" in the large font
    int ch = 0;  // height of "W" in the large font
    int x0 = 0;  // width of "SEND:" in the large font: the grid's left margin
    int HalfLine() const { return sh + 2 * ch + 5; }
    int Line() const { return 2 * HalfLine() + 3; }
};
