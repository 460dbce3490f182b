#include "common/app_settings.h"

#include <iterator>

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

#define INT_KEY(name, member, fallback) \
    { name, [](AppSettings& s) { return &s.member; }, nullptr, 0, fallback }
#define TEXT_KEY(name, member) \
    { name, nullptr, [](AppSettings& s) { return &s.member[0]; }, std::size(AppSettings{}.member), 0 }

const SettingKey kSettingKeys[] = {
    INT_KEY(u"wsa_ver", WsaVersion, 3),
    INT_KEY(u"ip_mode", IpMode, 0),
    INT_KEY(u"tipudp_mode", TipUdpMode, 0),
    INT_KEY(u"bind_mode", BindMode, 0),
    INT_KEY(u"port_no", AccessPort, 1050),
    INT_KEY(u"ip_no1", AccessIp[0], 192),
    INT_KEY(u"ip_no2", AccessIp[1], 168),
    INT_KEY(u"ip_no3", AccessIp[2], 0),
    INT_KEY(u"ip_no4", AccessIp[3], 1),
    INT_KEY(u"aport_no", AdapterPort, 1050),
    INT_KEY(u"aip_no1", AdapterIp[0], 192),
    INT_KEY(u"aip_no2", AdapterIp[1], 168),
    INT_KEY(u"aip_no3", AdapterIp[2], 0),
    INT_KEY(u"aip_no4", AdapterIp[3], 99),
    INT_KEY(u"scrol_pitch", ScrollPitch, 2),
    INT_KEY(u"hexasc_komoji", HexLowerCase, 0),
    INT_KEY(u"auto_foucs_OFF", AutoFocusOff, 0),
    INT_KEY(u"pl_time", RefreshPeriodMs, 300),
    INT_KEY(u"moji_type", Language, 0),
    TEXT_KEY(u"macro_filename", MacroFileName),
    TEXT_KEY(u"mypcname", PcName),
    INT_KEY(u"dlg4_short", InputSendFolded, 0),
    INT_KEY(u"dlg5_short", PresetSendFolded, 0),
    INT_KEY(u"pw_mode", AutokeyOn, 0),
    INT_KEY(u"capture_on", CaptureOn, 0),
    TEXT_KEY(u"capture_folder", CaptureFolder),
    TEXT_KEY(u"reply_rules", ReplyRules),
    INT_KEY(u"reply_on", ReplyOn, 0),
    TEXT_KEY(u"mcast_group", MulticastGroup),
    INT_KEY(u"mcast_ttl", MulticastTtl, 1),
};

#undef INT_KEY
#undef TEXT_KEY

// A remembered macro file name shorter than this is no path at all.
constexpr size_t kShortestMacroFileName = 3;

std::u16string SettingsPath() { return ProgramFilePath(kSettingsFileName); }

}  // namespace

const SettingKey* SettingKeys(size_t& count) {
    count = std::size(kSettingKeys);
    return kSettingKeys;
}

void ReadAppSettings(const IniDocument& ini, AppSettings& settings) {
    for (const SettingKey& k : kSettingKeys) {
        if (k.intField) {
            *k.intField(settings) = ini.GetInt(kSettingsSection, k.key, k.defaultValue);
            continue;
        }
        std::u16string value = ini.GetString(kSettingsSection, k.key, u"", k.textCapacity - 1);
        CopyTextInto(k.textField(settings), k.textCapacity, value);
    }
    if (TextLength(settings.MacroFileName, kMacroFileNameCapacity) < kShortestMacroFileName)
        settings.MacroFileName[0] = 0;
}

void WriteAppSettings(const AppSettings& settings, IniDocument& ini) {
    AppSettings s = settings;  // the field accessors take a modifiable record
    for (const SettingKey& k : kSettingKeys) {
        if (k.intField) {
            char16_t number[16];
            FormatText(number, u"%d", {*k.intField(s)});
            ini.Set(kSettingsSection, k.key, number);
        } else {
            const char16_t* text = k.textField(s);
            ini.Set(kSettingsSection, k.key, std::u16string_view(text, TextLength(text, k.textCapacity)));
        }
    }
}

void LoadAppSettings(AppSettings& settings) {
    IniDocument ini;
    ini.Load(SettingsPath());
    ReadAppSettings(ini, settings);
}

bool SaveAppSettings(const AppSettings& settings) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    IniDocument ini;
    // A file that exists but cannot be read is not replaced: that would lose
    // whatever else it holds.
    if (!ini.Load(SettingsPath())) return false;
    WriteAppSettings(settings, ini);
    return ini.Save(SettingsPath());
}
