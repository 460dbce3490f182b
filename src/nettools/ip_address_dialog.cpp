#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "nettools/add_ip_address_dialog.h"
#include "nettools/batch_files.h"
#include "nettools/batch_run.h"
#include "nettools/list_box_win32.h"
#include "nettools/nettools_dialogs.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/nettools_ids.h"

namespace {

constexpr int kDelayTextCapacity = 62;  // 61 characters are read back
constexpr ControlText kTexts[] = {
    {IDC_AUTOKEY_GROUP, kTextAdministratorRights},
    {IDC_AUTOKEY_CHECK, kTextKeepIdAndPassword},
    {IDC_BATCH_ADD, kTextAddIp},
};

// What the dialog works on.
struct IpAddressContext {
    AppSettings& settings;
    AutokeySettings& autokey;
};
IpAddressContext& Context(HWND dialog) { return DialogContext<IpAddressContext>(dialog); }

HWND BatchList(HWND dialog) { return GetDlgItem(dialog, IDC_BATCH_LIST); }

void FillBatchList(HWND dialog) { FillListBox(BatchList(dialog), ListBatchFiles()); }

void SetNumberText(HWND dialog, int controlId, int32_t value) {
    char16_t text[16];
    FormatText(text, u"%d", {value});
    SetDlgItemTextW(dialog, controlId, AsWide(text));
}

void OnInit(HWND dialog) {
    IpAddressContext& context = Context(dialog);
    AutokeySettings& autokey = context.autokey;
    LoadAutokeySettings(autokey);
    FillBatchList(dialog);
    ApplyDialogTexts(dialog, kNoTitleText, kTexts);
    CheckDlgButton(dialog, IDC_AUTOKEY_CHECK, context.settings.AutokeyOn == 1 ? BST_CHECKED : BST_UNCHECKED);
    SetNumberText(dialog, IDC_AUTOKEY_ID_TIME, autokey.IdTime);
    SetNumberText(dialog, IDC_AUTOKEY_PW_TIME, autokey.PwTime);
    SetDlgItemTextW(dialog, IDC_AUTOKEY_ID, AsWide(autokey.IdText));
    SetDlgItemTextW(dialog, IDC_AUTOKEY_PW, AsWide(autokey.PwText));
    SendDlgItemMessageW(dialog, IDC_AUTOKEY_ID, EM_LIMITTEXT, kAutokeyTextCapacity - 1, 0);
    SendDlgItemMessageW(dialog, IDC_AUTOKEY_PW, EM_LIMITTEXT, kAutokeyTextCapacity - 1, 0);
}

// The hand-off values stay in memory; autokey.ini is written only when a
// batch file is run with the tool switched on.
void ReadBackFields(HWND dialog) {
    IpAddressContext& context = Context(dialog);
    AutokeySettings& autokey = context.autokey;
    context.settings.AutokeyOn = IsDlgButtonChecked(dialog, IDC_AUTOKEY_CHECK) == BST_CHECKED ? 1 : 0;
    autokey.IdTime = LeadingInt(DialogItemText(dialog, IDC_AUTOKEY_ID_TIME, kDelayTextCapacity));
    autokey.PwTime = LeadingInt(DialogItemText(dialog, IDC_AUTOKEY_PW_TIME, kDelayTextCapacity));
    CopyTextInto(autokey.IdText, DialogItemText(dialog, IDC_AUTOKEY_ID, kAutokeyTextCapacity));
    CopyTextInto(autokey.PwText, DialogItemText(dialog, IDC_AUTOKEY_PW, kAutokeyTextCapacity));
}

// Closes in every case, also when nothing was selected.
void OnChange(HWND dialog) {
    ReadBackFields(dialog);
    RECT place = {};
    GetWindowRect(dialog, &place);
    IpAddressContext& context = Context(dialog);
    RunBatchFile(dialog, SelectedListText(BatchList(dialog)), {place.left, place.top}, context.settings,
                 context.autokey);
    EndDialog(dialog, IDC_BATCH_CHANGE);
}

void OnAdd(HWND dialog) {
    ShowAddIpAddressDialog(dialog);
    FillBatchList(dialog);
}

void OnDelete(HWND dialog) {
    DeleteBatchFile(dialog, SelectedListText(BatchList(dialog)));
    FillBatchList(dialog);
}

void OnCancel(HWND dialog) {
    ReadBackFields(dialog);
    EndDialog(dialog, IDC_BATCH_CANCEL);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_BATCH_CHANGE:
        OnChange(dialog);
        return true;
    case IDC_BATCH_ADD:
        OnAdd(dialog);
        return true;
    case IDC_BATCH_DELETE:
        OnDelete(dialog);
        return true;
    case IDC_BATCH_CANCEL:
        OnCancel(dialog);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowIpAddressDialog(HWND owner, AppSettings& settings, AutokeySettings& autokey) {
    IpAddressContext context{settings, autokey};
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.context = &context;
    return RunModalDialog(owner, IDD_IP_ADDRESS, handlers);
}
