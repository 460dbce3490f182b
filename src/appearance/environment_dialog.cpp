#include "appearance/environment_dialog.h"

#include "appearance/environment_settings.h"
#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr ControlText kTexts[] = {
    {IDC_SCROLL_LABEL, kTextScrollWidth},
    {IDC_LOWER_CASE_CHECK, kTextLowerCaseChecksum},
    {IDC_NO_FOCUS_CHECK, kTextNoAutomaticFocus},
    {IDC_PERIOD_LABEL, kTextRefreshMs},
};
constexpr int kLargestScrollChoice = 21;
constexpr int kPitchTextCapacity = 8;   // 7 characters are read back
constexpr int kPeriodTextCapacity = 5;  // 4 characters are read back

void SetNumberText(HWND control, int32_t value) {
    char16_t text[16];
    FormatText(text, u"%d", {value});
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(text)));
}

AppSettings& Settings(HWND dialog) { return DialogContext<AppSettings>(dialog); }

void OnInit(HWND dialog) {
    const AppSettings& settings = Settings(dialog);
    ApplyDialogTexts(dialog, kTextPreferences, kTexts);
    HWND combo = GetDlgItem(dialog, IDC_SCROLL_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int n = 1; n <= kLargestScrollChoice; ++n) {
        char16_t text[8];
        FormatText(text, u"%d", {n});
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(text)));
    }
    SetNumberText(combo, settings.ScrollPitch);
    CheckDlgButton(dialog, IDC_LOWER_CASE_CHECK, settings.HexLowerCase == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_NO_FOCUS_CHECK, settings.AutoFocusOff == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetNumberText(GetDlgItem(dialog, IDC_PERIOD_EDIT), settings.RefreshPeriodMs);
}

void OnAccept(HWND dialog) {
    AppSettings& settings = Settings(dialog);
    settings.ScrollPitch = ScrollPitchFromText(DialogItemText(dialog, IDC_SCROLL_COMBO, kPitchTextCapacity));
    settings.HexLowerCase = IsDlgButtonChecked(dialog, IDC_LOWER_CASE_CHECK) == BST_CHECKED ? 1 : 0;
    settings.AutoFocusOff = IsDlgButtonChecked(dialog, IDC_NO_FOCUS_CHECK) == BST_CHECKED ? 1 : 0;
    settings.RefreshPeriodMs = RefreshPeriodFromText(DialogItemText(dialog, IDC_PERIOD_EDIT, kPeriodTextCapacity));
    EndDialog(dialog, IDC_ENVIRONMENT_OK);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_ENVIRONMENT_OK:
    case IDOK:  // Enter
        OnAccept(dialog);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowEnvironmentDialog(HWND owner, AppSettings& settings) {
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.context = &settings;
    return RunModalDialog(owner, IDD_ENVIRONMENT, handlers);
}
