#include "appearance/dialog_painting_win32.h"

#include <dwmapi.h>
#include <uxtheme.h>

#include "appearance/dark_mode.h"
#include "appearance/gdi_colors_win32.h"

namespace {

constexpr DWORD kDarkTitleBarAttribute = 20;  // DWMWA_USE_IMMERSIVE_DARK_MODE
constexpr int kButtonTextCapacity = 64;

INT_PTR BrushResult(HBRUSH brush) { return reinterpret_cast<INT_PTR>(brush); }

INT_PTR ColorControl(HDC dc, int backSlot) {
    SetTextColor(dc, SlotColor(kTextColor));
    SetBkColor(dc, SlotColor(backSlot));
    return BrushResult(g_Gdi.Brushes[kDialogBack]);
}

}  // namespace

void ApplyTitleBarMode(HWND window) {
    BOOL dark = g_Appearance.DarkMode ? TRUE : FALSE;
    DwmSetWindowAttribute(window, kDarkTitleBarAttribute, &dark, sizeof dark);
}

void PrepareDialog(HWND dialog) {
    ApplyTitleBarMode(dialog);
    if (!g_Appearance.DarkMode) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16];
        GetClassNameW(child, className, 16);
        LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (lstrcmpiW(className, L"Button") == 0 && type != BS_OWNERDRAW && type != BS_PUSHBUTTON &&
            type != BS_DEFPUSHBUTTON)
            SetWindowTheme(child, L"", L"");
    }
}

bool PaintDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result, int editBackSlot) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    switch (message) {
    case WM_CTLCOLORDLG:
        result = BrushResult(g_Gdi.Brushes[kDialogBack]);
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        result = ColorControl(dc, kDialogBack);
        return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        result = ColorControl(dc, editBackSlot);
        return true;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_BUTTON) return false;
        DrawOwnerButton(*item);
        result = TRUE;
        return true;
    }
    default:
        return false;
    }
}

void DrawOwnerButton(const DRAWITEMSTRUCT& item) {
    HBRUSH face = CreateSolidBrush(SlotColor(kButtonFace));
    HBRUSH frame = CreateSolidBrush(SlotColor(kTextColor));
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, face);
    FrameRect(item.hDC, &r, frame);
    if (item.itemState & ODS_FOCUS) {
        RECT inner = r;
        InflateRect(&inner, -3, -3);
        DrawFocusRect(item.hDC, &inner);
    }
    if (item.itemState & ODS_SELECTED) OffsetRect(&r, 1, 1);
    wchar_t text[kButtonTextCapacity];
    int length = GetWindowTextW(item.hwndItem, text, kButtonTextCapacity);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : SlotColor(kTextColor));
    DrawTextW(item.hDC, text, length, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    DeleteObject(face);
    DeleteObject(frame);
}
