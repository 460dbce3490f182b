// What the three sending dialogs share on the Win32 side: the typing box
// that feeds an input line, the grids drawn with the trace fonts, the
// destination box, the line file chooser and a few control helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/app_settings.h"
#include "connection/connection_state.h"
#include "common/text_numbers.h"
#include "platform/gdi_canvas_win32.h"
#include "sending/dialog_rules.h"
#include "sending/input_line.h"
#include "sending/input_line_drawing.h"
#include "sending/line_entry.h"
#include "sending/line_file.h"
#include "sending/preset_edit.h"
#include "trace/trace_buffer.h"

// One typing box: the line it feeds and how much one key release takes.
struct TypingArea {
    InputLine* line = nullptr;
    int32_t limit = 0;
    WNDPROC oldProc = nullptr;
};

// What the three sending dialogs work on. The window keeps one for the whole
// run and hands it to each dialog it opens, so that the typed lines, the
// history, the presets and each dialog's place outlive the dialogs.
struct SendingDialogs {
    // The connection the dialogs send on, the trace that records what they
    // send, and the settings they read and keep (folded states, focus).
    ConnectionState* Connection = nullptr;
    TraceBuffer* Trace = nullptr;
    AppSettings* Settings = nullptr;

    SendHistory History;          // the 20 most recent lines sent
    PresetTable Presets;          // the lines the preset send dialog offers
    PresetEditTable PresetEdits;  // the list the preset edit dialog prepares
    InputLine SendLine;           // typed in the input-send dialog
    InputLine EditLine;           // typed in the preset edit dialog

    struct InputSendPlace {
        bool open = false;
        int32_t pageStart = 0;
        WindowSize fullSize;
        char16_t savePath[kLineFilePathCapacity] = u"";
        TypingArea typing;
    } InputSend;
    struct PresetSendPlace {
        bool open = false;
        int32_t pageStart = 0;
        WindowSize fullSize;
        char16_t loadPath[kLineFilePathCapacity] = u"";
    } PresetSend;
    struct PresetEditPlace {
        bool open = false;
        PresetEditState list;  // page and selection, afresh each time it opens
        char16_t filePath[kLineFilePathCapacity] = u"";
        TypingArea typing;
    } PresetEdit;
};

// The grid measurements of the trace fonts.
InputLineMetrics SendingGridMetrics();
// A canvas on the dialog's device context with the trace fonts and the
// active colors.
GdiCanvas SendingCanvas(HDC dc);

// Creates the typing box (id) at (5, 5), 30 x 16, subclassed so that every
// key release moves its text into the line (at most limit characters) and
// draws it at once; Backspace and Delete act on the line; other key presses
// are swallowed. Resets the line's notation to ASC and checks the ASC radio.
HWND CreateTypingArea(HWND dialog, int id, TypingArea& area, InputLine& line, int32_t limit, int ascId, int hexId);

void InvalidatePixels(HWND dialog, const PixelRect& area);
void InvalidateLineArea(HWND dialog);

// The buttons that edit a typed line: what they do to it, and the repaint.
enum class LineEdit { Clear, Backspace, ViewBack, ViewForward };
void EditTypedLine(HWND dialog, InputLine& line, LineEdit edit);

// The notation radios: sets the mode, shows its message, repaints.
void ChooseNotation(HWND dialog, InputLine& line, Notation notation, TextNumber messageText, TextNumber captionText);

// Fills the destination box (id 1202) from the connection; disables it in
// client mode.
void FillDestinationBox(HWND dialog, ConnectionState& connection);
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

// WM_PAINT (through paint) and the focus timer of those dialogs; true when
// the message was one of them.
bool HandleEditingDialogMessage(HWND dialog, UINT message, WPARAM wParam, int typingBoxId, void (*paint)(HWND),
                                const AppSettings& settings, INT_PTR& result);

WindowSize WindowSizeOf(HWND window);
// A new size at the same place.
void ResizeDialog(HWND dialog, WindowSize size);
