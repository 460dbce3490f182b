#include "connection/connect_wait_window.h"

#include "appearance/dialog_painting_win32.h"
#include "common/dialog_texts_win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr ControlText kTexts[] = {{IDC_CONNECT_WAIT_TEXT, kTextConnectingPleaseWait}};

INT_PTR CALLBACK ConnectWaitProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR painted = 0;
    if (PaintDialogMessage(message, wParam, lParam, painted)) return painted;
    if (message == WM_INITDIALOG) {
        ApplyDialogTexts(dialog, kNoTitleText, kTexts);
        PrepareDialog(dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ConnectWaitWindow::Show(WindowHandle owner) {
    Close();
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONNECT_WAIT),
                                 static_cast<HWND>(owner), ConnectWaitProc, 0);
    if (!window_) return;
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);  // the connect blocks the message loop: paint now
}

void ConnectWaitWindow::Close() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
}
