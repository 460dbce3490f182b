#include "nettools/add_ip_address_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/dialog_texts_win32.h"
#include "nettools/adapter_list.h"
#include "nettools/batch_files.h"
#include "nettools/list_box_win32.h"
#include "platform/wide_win32.h"
#include "resources/nettools_ids.h"

namespace {

constexpr const wchar_t* kFieldDefaults[kOctetFieldCount] = {L"192", L"168", L"", L"", L"255", L"255", L"255", L"0"};

int OctetFieldId(int index) { return index < 4 ? IDC_ADD_ADDRESS_FIRST + index : IDC_ADD_MASK_FIRST + index - 4; }

HWND AdapterList(HWND dialog) { return GetDlgItem(dialog, IDC_ADD_ADAPTER_LIST); }

void FillAdapterNames(HWND dialog) { FillListBox(AdapterList(dialog), ListAdapters(dialog, kAdapterNamesOnly)); }

void EnableOctetFields(HWND dialog, bool enable) {
    for (int i = 0; i < kOctetFieldCount; ++i) EnableWindow(GetDlgItem(dialog, OctetFieldId(i)), enable);
}

void OnInit(HWND dialog) {
    FillAdapterNames(dialog);
    for (int i = 0; i < kOctetFieldCount; ++i) {
        SetDlgItemTextW(dialog, OctetFieldId(i), kFieldDefaults[i]);
        SendDlgItemMessageW(dialog, OctetFieldId(i), EM_LIMITTEXT, kOctetFieldCapacity - 1, 0);
    }
    CheckDlgButton(dialog, IDC_ADD_AUTO, BST_UNCHECKED);
    EnableOctetFields(dialog, true);
}

void OnAuto(HWND dialog) { EnableOctetFields(dialog, IsDlgButtonChecked(dialog, IDC_ADD_AUTO) != BST_CHECKED); }

// Writes the file and stays open, so several files can be written in a row.
void OnSet(HWND dialog) {
    AddIpForm form;
    form.adapterName = SelectedListText(AdapterList(dialog));
    form.automatic = IsDlgButtonChecked(dialog, IDC_ADD_AUTO) == BST_CHECKED;
    for (int i = 0; i < kOctetFieldCount; ++i)
        form.octetFields[i] = DialogItemText(dialog, OctetFieldId(i), kOctetFieldCapacity);
    WriteBatchFile(dialog, form);
}

bool OnCommand(HWND dialog, int id, int) {
    switch (id) {
    case IDC_ADD_SEARCH:
        FillAdapterNames(dialog);
        return true;
    case IDC_ADD_AUTO:
        OnAuto(dialog);
        return true;
    case IDC_ADD_SET:
        OnSet(dialog);
        return true;
    case IDC_ADD_CLOSE:
        EndDialog(dialog, IDC_ADD_CLOSE);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowAddIpAddressDialog(HWND owner) {
    DialogHandlers handlers{OnInit, OnCommand};
    return RunModalDialog(owner, IDD_ADD_IP_ADDRESS, handlers);
}
