#include "appearance/modal_dialog_win32.h"
#include "nettools/connect_log.h"
#include "nettools/list_box_win32.h"
#include "nettools/nettools_dialogs.h"
#include "resources/nettools_ids.h"

namespace {

constexpr UINT_PTR kLogTimer = 1;
// Time the batch file gets to write its log before it is read.
constexpr UINT kLogDelayMs = 1000;

// What the dialog works on, and how it starts the batch file.
struct ConnectSearchContext {
    AppSettings& settings;
    bool asAdministrator;
};
ConnectSearchContext& Context(HWND dialog) { return DialogContext<ConnectSearchContext>(dialog); }

HWND AddressList(HWND dialog) { return GetDlgItem(dialog, IDC_CONNECT_LIST); }

// The dialog shows at once and reads the log on a timer, instead of leaving
// the window frozen while the batch file runs.
void OnInit(HWND dialog) {
    StartConnectBatch(dialog, Context(dialog).asAdministrator);
    SetTimer(dialog, kLogTimer, kLogDelayMs, nullptr);
}

void OnLogTimer(HWND dialog) {
    KillTimer(dialog, kLogTimer);
    // In front of the batch file's console window.
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    std::vector<std::u16string> entries;
    ReadConnectLog(dialog, entries);
    FillListBox(AddressList(dialog), entries);
}

void OnEnd(HWND dialog, INT_PTR result) {
    KillTimer(dialog, kLogTimer);
    EndDialog(dialog, result);
}

// Closes also without a selection, which changes nothing.
void OnSet(HWND dialog) {
    std::u16string entry = SelectedListText(AddressList(dialog));
    if (!entry.empty()) TakeConnectAddress(entry, Context(dialog).settings.AccessIp);
    OnEnd(dialog, IDC_CONNECT_SET);
}

bool OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDC_CONNECT_SET:
    case IDOK:  // Enter
        OnSet(dialog);
        return true;
    case IDC_CONNECT_LIST:
        if (notification == LBN_DBLCLK) OnSet(dialog);
        return true;
    case IDC_CONNECT_CLOSE:
        OnEnd(dialog, IDC_CONNECT_CLOSE);
        return true;
    case IDCANCEL:  // close box or Escape
        OnEnd(dialog, kDialogClosed);
        return true;
    default:
        return false;
    }
}

bool OnOther(HWND dialog, UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_TIMER || wParam != kLogTimer) return false;
    OnLogTimer(dialog);
    result = TRUE;
    return true;
}

}  // namespace

INT_PTR ShowConnectSearchDialog(HWND owner, bool asAdministrator, AppSettings& settings) {
    ConnectSearchContext context{settings, asAdministrator};
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.other = OnOther;
    handlers.context = &context;
    return RunModalDialog(owner, IDD_CONNECT_SEARCH, handlers);
}
