// What the three sending dialogs share on the Win32 side: the typing box
// that feeds an input line, the grids drawn with the trace fonts, the
// destination box, the line file chooser and a few control helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/text_numbers.h"
#include "platform/gdi_canvas_win32.h"
#include "sending/dialog_rules.h"
#include "sending/input_line.h"
#include "sending/input_line_drawing.h"

// The grid measurements of the trace fonts.
InputLineMetrics SendingGridMetrics();
// A canvas on the dialog's device context with the trace fonts and the
// active colors.
GdiCanvas SendingCanvas(HDC dc);

// Creates the typing box (id) at (5, 5), 30 x 16, subclassed so that every
// key release moves its text into the line (at most limit characters) and
// draws it at once; Backspace and Delete act on the line; other key presses
// are swallowed. Resets the line's notation to ASC and checks the ASC radio.
HWND CreateTypingArea(HWND dialog, int id, InputLine& line, int32_t limit, int ascId, int hexId);

void InvalidatePixels(HWND dialog, const PixelRect& area);
void InvalidateLineArea(HWND dialog);

// The notation radios: sets the mode, shows its message, repaints.
void ChooseNotation(HWND dialog, InputLine& line, Notation notation, TextNumber messageText, TextNumber captionText);

// Fills the destination box (id 1202) from the connection; disables it in
// client mode.
void FillDestinationBox(HWND dialog);
// The text of the destination box: its first character chooses the client.
std::u16string DestinationBoxText(HWND dialog);

// Row number captions of a page: "%02d" from pageStart + 1, the marked row
// (or none with -1) as "<%02d>".
void SetRowNumberCaptions(HWND dialog, int firstId, int rows, int32_t pageStart, int markedRow);
// Moves a control to a pixel rectangle of the dialog's client area.
void PlaceControl(HWND dialog, int id, int x, int y, int width, int height);

// Moves controls to a new top (pixels), keeping their x and size; offset is
// added for statics so that their text lines up with the buttons.
void SetControlTop(HWND dialog, int id, int top);
// The top of the row of controls under the input line.
int InputRowTop();

// The paint of the dialogs that edit a line above a list of stored lines:
// the line with its heading, the list's heading and rows under it, and then
// the keyboard focus back on the typing box (after every paint).
struct EditingDialogPaint {
    int typingBoxId;
    InputLine& line;  // painting settles its view position
    TextNumber lineHeadingText;
    int modeLabelSlot;
    TextNumber listHeadingText;
    int listHeadingLeft;
    int listHeadingTop;
    std::span<const LineEntry> rows;
};
void PaintEditingDialog(HWND dialog, const EditingDialogPaint& paint);

// The 3-second focus timer of those dialogs: the focus goes back to the
// typing box unless automatic focus is switched off.
constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusPeriodMs = 3000;
void OnFocusTimer(HWND dialog, int typingBoxId, WPARAM timerId);

// WM_PAINT (through paint) and the focus timer of those dialogs; true when
// the message was one of them.
bool HandleEditingDialogMessage(HWND dialog, UINT message, WPARAM wParam, int typingBoxId, void (*paint)(HWND),
                                INT_PTR& result);

WindowSize WindowSizeOf(HWND window);
// A new size at the same place.
void ResizeDialog(HWND dialog, WindowSize size);
