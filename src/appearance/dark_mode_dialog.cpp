#include "appearance/dark_mode_dialog.h"

#include "appearance/dark_mode.h"
#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_DARK_MODE_CHECK, kTextDarkMode},
    {IDC_NO_MENU_BAR_CHECK, kTextNoMenuBar},
    {IDC_WRITE_AND_CLOSE, kTextSaveAndRestart},
    {IDC_DARK_MODE_CLOSE, kTextClose},
};

// Whether "dkm.ini" was written: the dialog's answer.
bool& FileWritten(HWND dialog) { return DialogContext<bool>(dialog); }

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextCommandDarkLightMode, kTexts);
    CheckDlgButton(dialog, IDC_DARK_MODE_CHECK, g_Appearance.DarkMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NO_MENU_BAR_CHECK, g_Appearance.NoMenuBar ? BST_CHECKED : BST_UNCHECKED);
}

void OnWriteAndClose(HWND dialog) {
    bool dark = IsDlgButtonChecked(dialog, IDC_DARK_MODE_CHECK) == BST_CHECKED;
    bool noMenuBar = IsDlgButtonChecked(dialog, IDC_NO_MENU_BAR_CHECK) == BST_CHECKED;
    WriteDarkModeFile(DarkModeValue(dark, noMenuBar));
    FileWritten(dialog) = true;
    EndDialog(dialog, IDC_WRITE_AND_CLOSE);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_WRITE_AND_CLOSE:
        OnWriteAndClose(dialog);
        return true;
    case IDC_DARK_MODE_CLOSE:
        FileWritten(dialog) = false;
        EndDialog(dialog, IDC_DARK_MODE_CLOSE);
        return true;
    default:
        return false;
    }
}

}  // namespace

bool ShowDarkModeDialog(HWND owner) {
    bool fileWritten = false;
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.context = &fileWritten;
    RunModalDialog(owner, IDD_DARK_MODE, handlers);
    return fileWritten;
}
