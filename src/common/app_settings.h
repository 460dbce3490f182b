// The user's settings, kept in "Lanvisor.ini" beside the program: the
// window's own, loaded when it is created, changed in place by the dialogs
// it hands them to, written back in full when it is destroyed. The runner
// reads them too.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ini_file.h"

constexpr size_t kMacroFileNameCapacity = 260;
constexpr size_t kPcNameCapacity = 256;
constexpr size_t kGroupTextCapacity = 32;  // a dotted address, with room for what else was typed

struct AppSettings {
    int32_t WsaVersion = 3;        // 1 = 1.0, 2 = 1.1, 3 = 2.0, other = 2.2
    int32_t IpMode = 0;            // 0 client, 1 server
    int32_t TipUdpMode = 0;        // 0 TIP (TCP), 1 UDP
    int32_t BindMode = 0;          // 0 Auto, 1 Valid (bind to the adapter address and port)
    int32_t AccessPort = 1050;     // remote port
    int32_t AccessIp[4] = {192, 168, 0, 1};
    int32_t AdapterPort = 1050;    // local port
    int32_t AdapterIp[4] = {192, 168, 0, 99};
    int32_t ScrollPitch = 2;       // trace rows per scroll step
    int32_t HexLowerCase = 0;      // 1: macro checksum digits in lower case
    int32_t AutoFocusOff = 0;      // 1: the sending dialogs leave the focus alone
    int32_t RefreshPeriodMs = 300; // main window timer period
    int32_t Language = 0;          // 0 Japanese, 1 English, 2 Korean, 3 Chinese: the program context's while it runs
    char16_t MacroFileName[kMacroFileNameCapacity] = u"";
    char16_t PcName[kPcNameCapacity] = u"";
    int32_t InputSendFolded = 0;   // input-send dialog opens short
    int32_t PresetSendFolded = 0;  // preset send dialog opens narrow
    int32_t AutokeyOn = 0;         // hand the credential tool its settings before an IP change
    int32_t CaptureOn = 0;         // capture every block to files from the start of the run
    char16_t CaptureFolder[kMacroFileNameCapacity] = u"";  // where; empty: the program folder
    char16_t ReplyRules[kMacroFileNameCapacity] = u"";     // the reply rules file; empty: none chosen
    int32_t ReplyOn = 0;           // answer by the reply rules from the start of the run
    char16_t MulticastGroup[kGroupTextCapacity] = u"";  // dotted group a UDP socket joins; empty: none
    int32_t MulticastTtl = 1;      // hops of a datagram sent to a group (0: this host only)
};

constexpr std::u16string_view kSettingsFileName = u"Lanvisor.ini";
constexpr std::u16string_view kSettingsSection = u"Lanvisor";

// One key of the file: an integer field or a string field.
struct SettingKey {
    std::u16string_view key;
    int32_t* (*intField)(AppSettings&);
    char16_t* (*textField)(AppSettings&);
    size_t textCapacity;
    int32_t defaultValue;
};

// Every key in the order in which it stands in the file.
const SettingKey* SettingKeys(size_t& count);

// Reading and writing a document, for tests and for the file functions.
void ReadAppSettings(const IniDocument& ini, AppSettings& settings);
void WriteAppSettings(const AppSettings& settings, IniDocument& ini);

// "<ProgramDirectory>\Lanvisor.ini".
void LoadAppSettings(AppSettings& settings);
// Makes the program directory the working directory, then writes every key.
// False when the file could not be written (the run goes on regardless).
bool SaveAppSettings(const AppSettings& settings);
