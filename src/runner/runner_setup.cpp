#include "runner/runner_setup.h"

#include "common/program_context.h"
#include "macro/macro_check.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/sockets.h"
#include "platform/text.h"
#include "runner/macro_file_encoding.h"

namespace {

// A server given only a port keeps the settings' adapter address (unused
// while it listens on every address).
void CopyEndpoint(const RunnerEndpoint& endpoint, int32_t (&ip)[4], int32_t& port) {
    if (endpoint.hasAddress)
        for (int i = 0; i < 4; ++i) ip[i] = endpoint.octets[i];
    port = endpoint.port;
}

}  // namespace

void ApplyConnectionOptions(const RunnerOptions& o, AppSettings& s) {
    switch (o.mode) {
    case RunnerMode::FromSettings:
        break;
    case RunnerMode::TcpClient:
    case RunnerMode::UdpClient:
        s.TipUdpMode = o.mode == RunnerMode::UdpClient ? 1 : 0;
        s.IpMode = 0;
        s.BindMode = 0;
        CopyEndpoint(o.endpoint, s.AccessIp, s.AccessPort);
        break;
    case RunnerMode::TcpServer:
    case RunnerMode::UdpServer:
        s.TipUdpMode = o.mode == RunnerMode::UdpServer ? 1 : 0;
        s.IpMode = 1;
        s.BindMode = o.endpoint.hasAddress ? 1 : 0;
        CopyEndpoint(o.endpoint, s.AdapterIp, s.AdapterPort);
        break;
    }
    if (o.hasLocal) {
        s.BindMode = 1;
        CopyEndpoint(o.local, s.AdapterIp, s.AdapterPort);
    }
    // A connection given on the command line joins only what it names.
    if (o.mode != RunnerMode::FromSettings) s.MulticastGroup[0] = 0;
    if (o.hasGroup) CopyTextInto(s.MulticastGroup, Utf8ToUtf16(DottedText(o.group)));
    if (o.ttl >= 0) s.MulticastTtl = o.ttl;
}

bool PrepareSettings(const RunnerOptions& o, AppSettings& s, std::u16string& error) {
    std::u16string path = o.settingsFile.empty() ? std::u16string(kSettingsFileName) : o.settingsFile;
    bool exists = FileExists(path);
    if (!exists && !o.settingsFile.empty()) {
        error = u"cannot read the settings file \"" + path + u"\"";
        return false;
    }
    if (!exists && o.mode == RunnerMode::FromSettings) {
        error = u"no connection given (--tcp-client, --tcp-server, --udp-client, --udp-server or --settings) and no"
                u" Lanvisor.ini in the current folder";
        return false;
    }
    IniDocument ini;
    if (exists && !ini.Load(path)) {
        error = u"cannot read the settings file \"" + path + u"\"";
        return false;
    }
    s = AppSettings{};
    ReadAppSettings(ini, s);
    std::u16string language;
    if (o.language >= 0) s.Language = o.language;
    else if (!ini.Lookup(kSettingsSection, u"moji_type", language)) s.Language = kEnglish;
    ApplyConnectionOptions(o, s);
    return true;
}

void LoadRunnerTexts(const AppSettings& settings) {
    // Unlike the window, the runner's name has no extension on Linux: the
    // folder is simply everything before the last separator.
    std::u16string exe = ExecutablePath();
    size_t slash = exe.rfind(u'\\');
    CopyTextInto(g_Program.Directory, slash == std::u16string::npos ? std::u16string_view(u".")
                                                                    : std::u16string_view(exe).substr(0, slash));
    LoadTextTable(g_Program.Texts);
    g_Program.Language = settings.Language;
}

bool LoadRunnerMacro(const std::u16string& path, MacroRun& run, std::u16string& error) {
    std::u16string text;
    if (!ReadRunnerMacro(path, text, error) || !HasRunnerCommands(path, text, error)) return false;
    BeginMacro(run, text.data(), static_cast<int32_t>(text.size()), nullptr);
    return true;
}

bool HasRunnerCommands(const std::u16string& path, const std::u16string& text, std::u16string& error) {
    if (MacroHasCommand(text)) return true;
    error = u"the macro file \"" + path + u"\" holds no commands, only comments, labels or blank lines";
    return false;
}

bool ReadRunnerMacro(const std::u16string& path, std::u16string& text, std::u16string& error) {
    std::string bytes;
    std::u16string refusal;
    if (ReadFileHead(path, bytes, kMacroReadLimit, kFileHeadShared) != FileReadResult::Ok)
        refusal = u"cannot be read";
    else
        refusal = MacroFileRefusal(bytes, text);
    if (refusal.empty()) return true;
    error = u"the macro file \"" + path + u"\" " + refusal;
    return false;
}

bool ConversionEndpoints(const RunnerOptions& o, uint32_t startSeconds, ExportEndpoints& endpoints,
                         std::u16string& error) {
    AppSettings settings;
    bool known = PrepareSettings(o, settings, error);
    if (!known && !o.settingsFile.empty()) return false;
    endpoints = ExportEndpointsFrom(known ? settings : AppSettings{}, startSeconds);
    if (!known) endpoints.remoteAddress = Ipv4Address{};
    return true;
}

std::string AccessPointText(const AppSettings& s) {
    Ipv4Endpoint access = MakeEndpoint(s.AccessIp, s.AccessPort);
    return DottedText(access.address) + ":" + std::to_string(access.port);
}
