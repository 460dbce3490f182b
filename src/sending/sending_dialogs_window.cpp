#include "sending/sending_dialogs_window.h"

#include "appearance/gdi_colors_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/text_table.h"
#include "connection/connection_state.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "sending/destination_list.h"

namespace {

constexpr int kDestinationId = 1202;

TypingArea& AreaOf(HWND edit) {
    return *reinterpret_cast<TypingArea*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
}

std::u16string TypedText(HWND edit, int32_t limit) {
    wchar_t text[kEditTypingLimit + 1] = {};
    GetWindowTextW(edit, text, limit + 1);
    return std::u16string(FromWide(text));
}

// Draws what the key release added at once; the rest follows with the repaint.
void TakeText(HWND edit, TypingArea& area) {
    HWND dialog = GetParent(edit);
    std::u16string text = TypedText(edit, area.limit);
    SetWindowTextW(edit, L"");
    if (text.empty()) return;
    InputLineMetrics m = SendingGridMetrics();
    TypingReport report = TakeTypedText(*area.line, text);
    HDC dc = GetDC(dialog);
    {
        GdiCanvas canvas = SendingCanvas(dc);
        DrawTypedText(canvas, m, *area.line, report);
    }
    ReleaseDC(dialog, dc);
    PixelRect repaint;
    if (TypingRepaintArea(m, report, repaint)) InvalidatePixels(dialog, repaint);
}

LRESULT CALLBACK TypingAreaProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    TypingArea& area = AreaOf(edit);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_BACK) {
            DeleteLastCode(*area.line);
            InvalidatePixels(GetParent(edit), BackspaceRepaintArea(SendingGridMetrics(), *area.line));
        } else if (wParam == VK_DELETE) {
            ClearInputLine(*area.line);
            InvalidateLineArea(GetParent(edit));
        }
        return 0;  // caret and editing keys do nothing here
    case WM_KEYUP:
        TakeText(edit, area);
        return 0;
    default:
        return CallWindowProcW(area.oldProc, edit, message, wParam, lParam);
    }
}

}  // namespace

InputLineMetrics SendingGridMetrics() {
    const TraceMetrics& t = TraceFontMetrics();
    return {t.sh, t.cw, t.ch};
}

GdiCanvas SendingCanvas(HDC dc) { return GdiCanvas(dc, TraceFonts(), g_ActiveColors.Value, kColorSlots); }

HWND CreateTypingArea(HWND dialog, int id, TypingArea& area, InputLine& line, int32_t limit, int ascId, int hexId) {
    area.line = &line;
    area.limit = limit;
    constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", kStyle, 5, 5, 30, 16, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&area));
    area.oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TypingAreaProc)));
    ResetEntryState(line);
    CheckDlgButton(dialog, ascId, BST_CHECKED);
    CheckDlgButton(dialog, hexId, BST_UNCHECKED);
    return edit;
}

void InvalidatePixels(HWND dialog, const PixelRect& area) {
    RECT r{area.left, area.top, area.right, area.bottom};
    InvalidateRect(dialog, &r, TRUE);
}

void InvalidateLineArea(HWND dialog) { InvalidatePixels(dialog, WholeLineArea(SendingGridMetrics())); }

void EditTypedLine(HWND dialog, InputLine& line, LineEdit edit) {
    switch (edit) {
    case LineEdit::Clear:
        ClearInputLine(line);
        InvalidateLineArea(dialog);
        break;
    case LineEdit::Backspace:
        DeleteLastCode(line);
        InvalidatePixels(dialog, BackspaceRepaintArea(SendingGridMetrics(), line));
        break;
    case LineEdit::ViewBack:
    case LineEdit::ViewForward:
        ScrollView(line, edit == LineEdit::ViewBack ? ScrollDirection::Back : ScrollDirection::Forward);
        InvalidateRect(dialog, nullptr, TRUE);
        break;
    }
}

void ChooseNotation(HWND dialog, InputLine& line, Notation notation, TextNumber messageText, TextNumber captionText) {
    SetEntryMode(line, notation);
    ShowAppMessage(dialog, messageText, kAppMessageOk, AppText(captionText));
    InvalidateRect(dialog, nullptr, TRUE);
}

void FillDestinationBox(HWND dialog, ConnectionState& connection) {
    DestinationList list;
    BuildDestinationList(connection, connection.Opened.Mode, list);
    HWND box = GetDlgItem(dialog, kDestinationId);
    if (!list.enabled) {
        EnableWindow(box, FALSE);
        return;
    }
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (int32_t i = 0; i < list.count; ++i) {
        LPARAM text = reinterpret_cast<LPARAM>(AsWide(list.texts[i]));
        SendMessageW(box, CB_ADDSTRING, 0, text);
        if (i == 0) SendMessageW(box, WM_SETTEXT, 0, text);
    }
}

std::u16string DestinationBoxText(HWND dialog) { return DialogItemText(dialog, kDestinationId, 2); }

void SetRowNumberCaptions(HWND dialog, int firstId, int rows, int32_t pageStart, int markedRow) {
    for (int k = 0; k < rows; ++k) {
        char16_t caption[8];
        RowNumberCaption(caption, pageStart + k, k == markedRow);
        SetDlgItemTextW(dialog, firstId + k, AsWide(caption));
    }
}

void PlaceControl(HWND dialog, int id, int x, int y, int width, int height) {
    MoveWindow(GetDlgItem(dialog, id), x, y, width, height, TRUE);
}

WindowSize WindowSizeOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void ResizeDialog(HWND dialog, WindowSize size) {
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_SHOWWINDOW);
}

void SetControlTop(HWND dialog, int id, int top) {
    HWND control = GetDlgItem(dialog, id);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(control, r.left, top, r.right - r.left, r.bottom - r.top, TRUE);
}

int InputRowTop() {
    InputLineMetrics m = SendingGridMetrics();
    return 42 + 2 * m.ch + 6;
}

void PaintEditingDialog(HWND dialog, const EditingDialogPaint& paint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    {
        GdiCanvas canvas = SendingCanvas(dc);
        InputLineMetrics m = SendingGridMetrics();
        PaintInputLine(canvas, m, paint.line, AppText(paint.lineHeadingText), paint.modeLabelSlot);
        canvas.Text(paint.listHeadingLeft, paint.listHeadingTop, AppText(paint.listHeadingText), CanvasFont::Large,
                    kTextColor, kTransparent);
        PaintStoredRows(canvas, m, paint.rows, kUnderInputLineRows);
    }
    EndPaint(dialog, &ps);
    SetFocus(GetDlgItem(dialog, paint.typingBoxId));
}

bool HandleEditingDialogMessage(HWND dialog, UINT message, WPARAM wParam, int typingBoxId, void (*paint)(HWND),
                                const AppSettings& settings, INT_PTR& result) {
    switch (message) {
    case WM_PAINT: paint(dialog); break;
    case WM_TIMER:
        if (wParam == kFocusTimer && settings.AutoFocusOff == 0) SetFocus(GetDlgItem(dialog, typingBoxId));
        break;
    default: return false;
    }
    result = TRUE;
    return true;
}
