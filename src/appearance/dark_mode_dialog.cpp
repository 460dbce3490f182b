#include "appearance/dark_mode_dialog.h"

#include "appearance/dark_mode.h"
#include "appearance/dialog_painting_win32.h"
#include "resources/resource_ids.h"
#include "shell/dialog_texts_win32.h"

namespace {

constexpr int kTitleText = 261;
constexpr ControlText kTexts[] = {
    {IDC_DARK_MODE_CHECK, 180},
    {IDC_NO_MENU_BAR_CHECK, 181},
    {IDC_WRITE_AND_CLOSE, 182},
    {IDC_DARK_MODE_CLOSE, 74},
};
constexpr int kClosedResult = 1;

bool fileWritten = false;

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTitleText, kTexts);
    CheckDlgButton(dialog, IDC_DARK_MODE_CHECK, g_Appearance.DarkMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NO_MENU_BAR_CHECK, g_Appearance.NoMenuBar ? BST_CHECKED : BST_UNCHECKED);
    PrepareDialog(dialog);
}

void OnWriteAndClose(HWND dialog) {
    bool dark = IsDlgButtonChecked(dialog, IDC_DARK_MODE_CHECK) == BST_CHECKED;
    bool noMenuBar = IsDlgButtonChecked(dialog, IDC_NO_MENU_BAR_CHECK) == BST_CHECKED;
    WriteDarkModeFile(DarkModeValue(dark, noMenuBar));
    fileWritten = true;
    EndDialog(dialog, IDC_WRITE_AND_CLOSE);
}

INT_PTR CALLBACK DarkModeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR painted = 0;
    if (PaintDialogMessage(message, wParam, lParam, painted)) return painted;
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WRITE_AND_CLOSE:
            OnWriteAndClose(dialog);
            return TRUE;
        case IDC_DARK_MODE_CLOSE:
            fileWritten = false;
            EndDialog(dialog, IDC_DARK_MODE_CLOSE);
            return TRUE;
        case IDCANCEL:  // close box or Escape: nothing written
            EndDialog(dialog, kClosedResult);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

bool ShowDarkModeDialog(HWND owner) {
    fileWritten = false;
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DARK_MODE), owner, DarkModeDialogProc, 0);
    return fileWritten;
}
