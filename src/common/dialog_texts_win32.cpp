#include "common/dialog_texts_win32.h"

#include <string>
#include <vector>

#include "common/text_table.h"
#include "platform/wide_win32.h"

void ApplyDialogTexts(HWND dialog, int titleText, std::span<const ControlText> controls) {
    if (titleText != kNoTitleText) SetWindowTextW(dialog, AsWide(AppText(titleText).c_str()));
    for (const ControlText& c : controls) SetDlgItemTextW(dialog, c.controlId, AsWide(AppText(c.textNumber).c_str()));
}

std::u16string DialogItemText(HWND dialog, int controlId, int capacity) {
    std::vector<wchar_t> text(static_cast<size_t>(capacity > 0 ? capacity : 1), L'\0');
    int n = GetDlgItemTextW(dialog, controlId, text.data(), capacity);
    return std::u16string(FromWide(text.data()), static_cast<size_t>(n > 0 ? n : 0));
}
