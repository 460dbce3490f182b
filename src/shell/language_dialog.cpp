#include "shell/language_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/text_table.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kNameCapacity = 31;  // 30 characters are read back

void OnInit(HWND dialog) {
    HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int language = 0; language < kLanguageCount; ++language)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(LanguageName(language))));
    int32_t current = DialogContext<WindowState>(dialog).Settings.Language;
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(LanguageName(current))));
}

void OnAccept(HWND dialog) {
    wchar_t name[kNameCapacity] = L"";
    int length = GetDlgItemTextW(dialog, IDC_LANGUAGE_COMBO, name, kNameCapacity);
    ChooseLanguage(DialogContext<WindowState>(dialog),
                   LanguageFromName(std::u16string_view(FromWide(name), static_cast<size_t>(length))));
    EndDialog(dialog, IDC_LANGUAGE_OK);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_LANGUAGE_OK:  // only the button accepts: Enter (IDOK) does nothing
        OnAccept(dialog);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowLanguageDialog(HWND owner, WindowState& state) {
    // The combo's text stands on the dialog color, not the window color.
    DialogHandlers handlers{OnInit, OnCommand, kDialogBack, nullptr, &state};
    return RunModalDialog(owner, IDD_LANGUAGE, handlers);
}
