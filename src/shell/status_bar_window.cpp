#include "shell/status_bar_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "appearance/gdi_colors_win32.h"
#include "connection/connection_state.h"
#include "shell/status_bar_text.h"
#include "trace/export_commands.h"
#include "trace/trace_buffer.h"
#include "trace/trace_view_state.h"

namespace {

constexpr int kStatusBarId = 328;
HWND statusBar = nullptr;

StatusInputs CurrentInputs() {
    return {&g_Settings,         IsConnectionActive(),  g_View.CellsPerRow, g_View.ScreenRows,
            TraceCount(g_Trace), g_View.ViewTop, g_Capture.IsOn()};
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

void RefreshStatusBar() {
    if (!statusBar) return;
    int slot = StatusBackgroundSlot(IsConnectionActive(), g_Settings);
    SendMessageW(statusBar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(SlotColor(slot)));
    InvalidateRect(statusBar, nullptr, TRUE);
}

bool DrawStatusBarItem(const DRAWITEMSTRUCT* item) {
    if (!item || item->CtlID != kStatusBarId) return false;
    int part = static_cast<int>(item->itemID);
    if (part < 0 || part >= kDrawnStatusParts) return false;
    std::u16string text = StatusPartText(part, CurrentInputs());
    HBRUSH back = CreateSolidBrush(SlotColor(StatusBackgroundSlot(IsConnectionActive(), g_Settings)));
    FillRect(item->hDC, &item->rcItem, back);
    DeleteObject(back);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, SlotColor(kTextColor));
    TextOutW(item->hDC, item->rcItem.left, item->rcItem.top, reinterpret_cast<const wchar_t*>(text.c_str()),
             static_cast<int>(text.size()));
    return true;
}
