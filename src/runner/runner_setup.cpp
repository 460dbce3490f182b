#include "runner/runner_setup.h"

#include <cstdio>

#include "common/program_directory.h"
#include "common/text_table.h"
#include "macro/macro_file.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "runner/macro_file_encoding.h"

namespace {

// A macro file of any encoding is read up to what its UTF-8 form could hold.
constexpr size_t kMacroReadLimit = static_cast<size_t>(kMacroFileMaxBytes) * 2;

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
}

bool PrepareSettings(const RunnerOptions& o, AppSettings& s, std::u16string& error) {
    std::u16string path = o.settingsFile.empty() ? std::u16string(kSettingsFileName) : o.settingsFile;
    bool exists = FileExists(path);
    if (!exists && !o.settingsFile.empty()) {
        error = u"cannot read the settings file \"" + path + u"\"";
        return false;
    }
    if (!exists && o.mode == RunnerMode::FromSettings) {
        error = u"no connection given and no Lanvisor.ini in the current folder";
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

void LoadRunnerTexts() {
    // Unlike the window, the runner's name has no extension on Linux: the
    // folder is simply everything before the last separator.
    std::u16string exe = ExecutablePath();
    size_t slash = exe.rfind(u'\\');
    CopyTextInto(g_ProgramDirectory, slash == std::u16string::npos ? std::u16string_view(u".")
                                                                   : std::u16string_view(exe).substr(0, slash));
    LoadTextTable(g_Texts);
}

bool LoadRunnerMacro(const std::u16string& path, std::u16string& error) {
    std::string bytes;
    if (ReadFileHead(path, bytes, kMacroReadLimit, kFileHeadShared) != FileReadResult::Ok) {
        error = u"cannot read the macro file \"" + path + u"\"";
        return false;
    }
    std::string text;
    if (bytes.empty() || !MacroFileAsUtf16(bytes, text) || text.size() <= 2) {
        error = u"the macro file \"" + path + u"\" is empty or neither UTF-16 with byte-order mark nor UTF-8";
        return false;
    }
    BeginMacroFromBytes(g_MacroRun, text, nullptr);
    return true;
}

std::string AccessPointText(const AppSettings& s) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d:%d", s.AccessIp[0], s.AccessIp[1], s.AccessIp[2], s.AccessIp[3],
                  s.AccessPort & 0xFFFF);
    return text;
}
