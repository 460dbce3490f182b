#include "nettools/list_box_win32.h"

#include <algorithm>

#include "platform/wide_win32.h"

namespace {

constexpr int kExtentMargin = 8;

int TextWidth(HDC dc, const std::u16string& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, AsWide(text.c_str()), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

void FillListBox(HWND list, const std::vector<std::u16string>& entries) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::u16string& entry : entries) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(entry.c_str())));
        widest = std::max(widest, TextWidth(dc, entry));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + kExtentMargin), 0);
}

std::u16string SelectedListText(HWND list) {
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return {};
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(AsWide(text.data())));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}
