#include "shell/about_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "common/help_commands.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kIconSize = 64;
constexpr POINT kIconPosition = {3, 22};

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextAboutLanvisor, {});
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, AsWide(AboutVersionText().c_str()));
    SetDlgItemTextW(dialog, IDC_ABOUT_BUILD, AsWide(AboutBuildDateText(__DATE__).c_str()));
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_ABOUT_OK: EndDialog(dialog, IDC_ABOUT_OK); return true;
    case IDC_ABOUT_NEW_VERSION: OpenDownloadPage(dialog); return true;
    default: return false;
    }
}

void PaintIcon(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LANVISOR),
                                               IMAGE_ICON, kIconSize, kIconSize, 0));
    if (icon) {
        DrawIconEx(dc, kIconPosition.x, kIconPosition.y, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    EndPaint(dialog, &ps);
}

bool OnOther(HWND dialog, UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message != WM_PAINT) return false;
    PaintIcon(dialog);
    result = 0;
    return true;
}

}  // namespace

void ShowAboutDialog(HWND owner) {
    DialogHandlers handlers{OnInit, OnCommand, kWindowBack, OnOther};
    RunModalDialog(owner, IDD_ABOUT, handlers);
}
