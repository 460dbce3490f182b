#include "appearance/modal_dialog_win32.h"
#include "nettools/adapter_list.h"
#include "nettools/list_box_win32.h"
#include "nettools/nettools_dialogs.h"
#include "resources/nettools_ids.h"

namespace {

HWND AdapterList(HWND dialog) { return GetDlgItem(dialog, IDC_ADAPTER_LIST); }

void OnInit(HWND dialog) { FillListBox(AdapterList(dialog), ListAdapters(dialog, kAdapterFullLines)); }

// Closes also without a selection, which changes nothing.
void OnSet(HWND dialog) {
    std::u16string line = SelectedListText(AdapterList(dialog));
    if (!line.empty()) TakeAdapterAddress(line, DialogContext<AppSettings>(dialog).AdapterIp);
    EndDialog(dialog, IDC_ADAPTER_SET);
}

bool OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDC_ADAPTER_SET:
    case IDOK:  // Enter
        OnSet(dialog);
        return true;
    case IDC_ADAPTER_LIST:
        if (notification == LBN_DBLCLK) OnSet(dialog);
        return true;
    case IDC_ADAPTER_CLOSE:
        EndDialog(dialog, IDC_ADAPTER_CLOSE);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowAdapterSearchDialog(HWND owner, AppSettings& settings) {
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.context = &settings;
    return RunModalDialog(owner, IDD_ADAPTER_SEARCH, handlers);
}
