#include "appearance/modal_dialog_win32.h"

#include "appearance/dialog_painting_win32.h"

namespace {

const DialogHandlers* HandlersOf(HWND dialog) {
    return reinterpret_cast<const DialogHandlers*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR OnInit(HWND dialog, LPARAM lParam) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    const DialogHandlers* handlers = HandlersOf(dialog);
    if (handlers->init) handlers->init(dialog);
    PrepareDialog(dialog);
    return TRUE;
}

INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInit(dialog, lParam);
    const DialogHandlers* handlers = HandlersOf(dialog);
    if (!handlers) return FALSE;
    INT_PTR result = 0;
    if (PaintDialogMessage(message, wParam, lParam, result, handlers->editBackSlot)) return result;
    if (handlers->other && handlers->other(dialog, message, wParam, lParam, result)) return result;
    if (message != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    if (handlers->command && handlers->command(dialog, id, HIWORD(wParam))) return TRUE;
    if (id != IDCANCEL) return FALSE;
    EndDialog(dialog, kDialogClosed);  // the close box or Escape
    return TRUE;
}

}  // namespace

void* DialogContextOf(HWND dialog) {
    const DialogHandlers* handlers = HandlersOf(dialog);
    return handlers ? handlers->context : nullptr;
}

INT_PTR RunModalDialog(HWND owner, int resourceId, const DialogHandlers& handlers) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), owner, ModalDialogProc,
                           reinterpret_cast<LPARAM>(&handlers));
}
