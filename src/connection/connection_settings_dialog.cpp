#include "connection/connection_settings_dialog.h"

#include "appearance/modal_dialog_win32.h"
#include "common/program_context.h"
#include "common/dialog_texts_win32.h"
#include "connection/connection.h"
#include "connection/connection_settings_form.h"
#include "platform/sockets.h"
#include "platform/text.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"

namespace {

// What the dialog works on.
struct SettingsContext {
    AppSettings& settings;
    const NetworkTools& tools;
};
SettingsContext& Context(HWND dialog) { return DialogContext<SettingsContext>(dialog); }
AppSettings& Settings(HWND dialog) { return Context(dialog).settings; }

constexpr ControlText kTexts[] = {
    {IDC_MODE_LABEL, kTextServerOrClient},
    {IDC_CLIENT_RADIO, kTextClient},
    {IDC_SERVER_RADIO, kTextServer},
    {IDC_PROTOCOL_LABEL, kTextTipOrUdp},
    {IDC_ADAPTER_PORT_LABEL, kTextPort},
    {IDC_ACCESS_PORT_LABEL, kTextPort},
    {IDC_ADAPTER_SEARCH, kTextAdapterSearch},
    {IDC_IP_ADDRESS_SET, kTextSetIpAddress},
    {IDC_NETWORK_CENTER, kTextNetworkConnections},
    {IDC_CONNECT_SEARCH, kTextFindDeviceIp},
    {IDC_SETTINGS_CANCEL, kTextCancel},
    {IDC_MCAST_GROUP_LABEL, kTextMulticastGroup},
    {IDC_MCAST_TTL_LABEL, kTextMulticastTtl},
};
constexpr const char16_t* kVersions[] = {u"1.0", u"1.1", u"2.0", u"2.2"};
constexpr int kTextCapacity = 256;

void SetText(HWND dialog, int id, const std::u16string& text) { SetDlgItemTextW(dialog, id, AsWide(text.c_str())); }
std::u16string Text(HWND dialog, int id) { return DialogItemText(dialog, id, kTextCapacity); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void ApplyEnabling(HWND dialog) {
    ConnectionFormEnabling on = EnablingFor(Checked(dialog, IDC_SERVER_RADIO), Checked(dialog, IDC_VALID_RADIO));
    for (int i = 0; i < 5; ++i) EnableWindow(GetDlgItem(dialog, IDC_ACCESS_IP1 + i), on.accessPoint);
    for (int i = 0; i < 4; ++i) EnableWindow(GetDlgItem(dialog, IDC_ADAPTER_IP1 + i), on.adapterAddress);
    EnableWindow(GetDlgItem(dialog, IDC_ADAPTER_PORT), on.adapterPort);
}

void Fill(HWND dialog) {
    ConnectionFormValues v = FormValuesFrom(Settings(dialog));
    HWND combo = GetDlgItem(dialog, IDC_VERSION_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const char16_t* version : kVersions) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(version)));
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(v.versionText.c_str())));
    CheckRadioButton(dialog, IDC_CLIENT_RADIO, IDC_SERVER_RADIO, v.client ? IDC_CLIENT_RADIO : IDC_SERVER_RADIO);
    CheckRadioButton(dialog, IDC_TIP_RADIO, IDC_UDP_RADIO, v.tip ? IDC_TIP_RADIO : IDC_UDP_RADIO);
    CheckRadioButton(dialog, IDC_AUTO_RADIO, IDC_VALID_RADIO, v.autoBind ? IDC_AUTO_RADIO : IDC_VALID_RADIO);
    for (int i = 0; i < 4; ++i) {
        SetText(dialog, IDC_ADAPTER_IP1 + i, v.adapterOctets[i]);
        SetText(dialog, IDC_ACCESS_IP1 + i, v.accessOctets[i]);
    }
    SetText(dialog, IDC_ADAPTER_PORT, v.adapterPort);
    SetText(dialog, IDC_ACCESS_PORT, v.accessPort);
    SetText(dialog, IDC_PC_NAME, v.pcName);
    SetText(dialog, IDC_MCAST_GROUP, v.group);
    SetText(dialog, IDC_MCAST_TTL, v.ttl);
    ApplyEnabling(dialog);
}

ConnectionFormValues Typed(HWND dialog) {
    ConnectionFormValues v;
    v.versionText = Text(dialog, IDC_VERSION_COMBO);
    v.client = Checked(dialog, IDC_CLIENT_RADIO);
    v.tip = Checked(dialog, IDC_TIP_RADIO);
    v.autoBind = Checked(dialog, IDC_AUTO_RADIO);
    for (int i = 0; i < 4; ++i) {
        v.adapterOctets[i] = Text(dialog, IDC_ADAPTER_IP1 + i);
        v.accessOctets[i] = Text(dialog, IDC_ACCESS_IP1 + i);
    }
    v.adapterPort = Text(dialog, IDC_ADAPTER_PORT);
    v.accessPort = Text(dialog, IDC_ACCESS_PORT);
    v.pcName = Text(dialog, IDC_PC_NAME);
    v.group = Text(dialog, IDC_MCAST_GROUP);
    v.ttl = Text(dialog, IDC_MCAST_TTL);
    return v;
}

void ReadBack(HWND dialog) { ReadBackConnectionForm(Typed(dialog), Settings(dialog)); }

// OK: a group or TTL that cannot be used is refused and the dialog stays.
void OnOk(HWND dialog) {
    int32_t refused = RefusedGroupField(Typed(dialog));
    if (refused != 0) {
        ShowAppMessage(dialog, refused, kAppMessageOk, AppText(kTextConnectionSettings));
        SetFocus(GetDlgItem(dialog, refused == kTextTtlOutOfRange ? IDC_MCAST_TTL : IDC_MCAST_GROUP));
        return;
    }
    ReadBack(dialog);
    EndDialog(dialog, IDC_SETTINGS_OK);
}

void OnInit(HWND dialog) {
    ApplyDialogTexts(dialog, kTextConnectionSettings, kTexts);
    Fill(dialog);
}

// The PC name's address becomes the access point.
void OnIpSet(HWND dialog) {
    if (!StartWinsock(dialog)) return;
    ReadBack(dialog);
    int32_t r = ResolvePcNameInto(Settings(dialog));
    if (r != 0) {
        char16_t text[64];
        FormatText(text, u"getaddrinfo failed: %d\n", {r});
        ShowMessageBox(dialog, TextView(text), u"error", kMbOk);
    }
    SocketCleanup();
    Fill(dialog);
}

// The tools may change the addresses: what was typed goes into the
// settings first, and the dialog shows the settings again afterwards.
void RunTool(HWND dialog, int id) {
    ReadBack(dialog);
    const NetworkTools& tools = Context(dialog).tools;
    switch (id) {
    case IDC_ADAPTER_SEARCH: tools.adapterSearch(dialog); break;
    case IDC_IP_ADDRESS_SET: tools.ipAddress(dialog); break;
    case IDC_CONNECT_SEARCH: tools.connectSearch(dialog, Checked(dialog, IDC_RUN_AS_ADMIN)); break;
    }
    Fill(dialog);
}

void OnNetworkCenter(HWND dialog) { CurrentLauncher().Open(dialog, u"control.exe", u"ncpa.cpl", u""); }

bool OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
    case IDC_SETTINGS_OK:  // only the button accepts: Enter (IDOK) does nothing
        OnOk(dialog);
        return true;
    case IDC_SETTINGS_CANCEL:
        EndDialog(dialog, IDC_SETTINGS_CANCEL);
        return true;
    case IDC_CLIENT_RADIO:
    case IDC_SERVER_RADIO:
    case IDC_AUTO_RADIO:
    case IDC_VALID_RADIO:
        if (notification == BN_CLICKED) ApplyEnabling(dialog);
        return true;
    case IDC_IP_SET:
        OnIpSet(dialog);
        return true;
    case IDC_ADAPTER_SEARCH:
    case IDC_IP_ADDRESS_SET:
    case IDC_CONNECT_SEARCH:
        RunTool(dialog, id);
        return true;
    case IDC_NETWORK_CENTER:
        OnNetworkCenter(dialog);
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR ShowConnectionSettingsDialog(HWND owner, AppSettings& settings, const NetworkTools& tools) {
    SettingsContext context{settings, tools};
    DialogHandlers handlers{OnInit, OnCommand};
    handlers.context = &context;
    return RunModalDialog(owner, IDD_CONNECTION_SETTINGS, handlers);
}
