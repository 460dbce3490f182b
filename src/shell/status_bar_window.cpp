#include "shell/status_bar_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "appearance/gdi_colors_win32.h"
#include "platform/text.h"
#include "shell/status_bar_text.h"

namespace {

constexpr int kStatusBarId = 328;
HWND statusBar = nullptr;

std::u16string JoinedGroup(const ConnectionState& connection) {
    if (!IsConnectionActive(connection) || !connection.GroupJoined) return u"";
    return Utf8ToUtf16(DottedText(connection.Opened.Group));
}

StatusInputs InputsOf(const WindowState& state) {
    const TraceViewState& view = state.View;
    return {&state.Settings,
            state.Connected(),
            view.CellsPerRow,
            view.ScreenRows,
            TraceCount(state.Engine.Trace),
            view.ViewTop,
            state.Capture.IsOn(),
            state.Engine.Replies.On(),
            state.Replies.ErrorInStatus ? std::u16string_view(state.Replies.Error) : std::u16string_view(),
            JoinedGroup(state.Engine.Connection)};
}

COLORREF BackgroundOf(const WindowState& state) {
    return SlotColor(StatusBackgroundSlot(state.Connected(), state.Settings));
}

}  // namespace

void CreateStatusBar(HWND mainWindow) {
    statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, 0, 0,
                                0, 0, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!statusBar) return;
    // A themed status bar ignores its background color, which here tells
    // the connection state: draw it unthemed.
    SetWindowTheme(statusBar, L"", L"");
    SendMessageW(statusBar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(kStatusPartEdges));
    for (int part = 0; part < kDrawnStatusParts; ++part)
        SendMessageW(statusBar, SB_SETTEXTW, part | SBT_OWNERDRAW, 0);
}

void ForwardSizeToStatusBar(WPARAM wParam, LPARAM lParam) {
    if (statusBar) SendMessageW(statusBar, WM_SIZE, wParam, lParam);
}

void RefreshStatusBar(const WindowState& state) {
    if (!statusBar) return;
    SendMessageW(statusBar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(BackgroundOf(state)));
    InvalidateRect(statusBar, nullptr, TRUE);
}

bool DrawStatusBarItem(const DRAWITEMSTRUCT* item, const WindowState& state) {
    if (!item || item->CtlID != kStatusBarId) return false;
    int part = static_cast<int>(item->itemID);
    if (part < 0 || part >= kDrawnStatusParts) return false;
    std::u16string text = StatusPartText(part, InputsOf(state));
    HBRUSH back = CreateSolidBrush(BackgroundOf(state));
    FillRect(item->hDC, &item->rcItem, back);
    DeleteObject(back);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, SlotColor(kTextColor));
    // Clipped: a long first part (a rules file's error) must not run into the next.
    ExtTextOutW(item->hDC, item->rcItem.left, item->rcItem.top, ETO_CLIPPED, &item->rcItem,
                reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<UINT>(text.size()), nullptr);
    return true;
}
