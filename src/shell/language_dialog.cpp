#include "shell/language_dialog.h"

#include "appearance/dialog_painting_win32.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"
#include "shell/app_settings.h"
#include "shell/text_table.h"

namespace {

constexpr int kClosedResult = 1;
constexpr int kNameCapacity = 31;  // 30 characters are read back

void OnInit(HWND dialog) {
    HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int language = 0; language < kLanguageCount; ++language)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(LanguageName(language))));
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(LanguageName(g_Settings.Language))));
    PrepareDialog(dialog);
}

void OnAccept(HWND dialog) {
    wchar_t name[kNameCapacity] = L"";
    int length = GetDlgItemTextW(dialog, IDC_LANGUAGE_COMBO, name, kNameCapacity);
    g_Settings.Language = LanguageFromName(std::u16string_view(FromWide(name), static_cast<size_t>(length)));
    EndDialog(dialog, IDC_LANGUAGE_OK);
}

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR painted = 0;
    // The combo's text stands on the dialog color, not the window color.
    if (PaintDialogMessage(message, wParam, lParam, painted, kDialogBack)) return painted;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LANGUAGE_OK:
        case IDOK:  // Enter in the combo box
            OnAccept(dialog);
            return TRUE;
        case IDCANCEL:  // close box or Escape
            EndDialog(dialog, kClosedResult);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR ShowLanguageDialog(HWND owner) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LANGUAGE), owner, LanguageDialogProc, 0);
}
