#include "shell/status_bar_text.h"

#include "appearance/color_scheme.h"
#include "common/connection_mode.h"
#include "common/help_commands.h"
#include "platform/text.h"
#include "trace/trace_buffer.h"

const int kStatusPartEdges[kStatusParts] = {460, 500, 560, 620, 740, 900, 1000, 1100, 1300, -1};

namespace {

constexpr size_t kStatusTextCapacity = 128;

std::u16string Format(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
    char16_t text[kStatusTextCapacity];
    FormatText(text, pattern, args);
    return std::u16string(TextView(text));
}

std::u16string Endpoints(const AppSettings& s) {
    const int32_t* a = s.AccessIp;
    const int32_t* l = s.AdapterIp;
    bool bound = s.BindMode == 1;
    if (!IsServerMode(ModeOf(s))) {
        if (!bound) return Format(u"Adapter=Auto >> AccessPoint=%d.%d.%d.%d;PortNo=%d", {a[0], a[1], a[2], a[3], s.AccessPort});
        return Format(u"Adapter=%d.%d.%d.%d;PortNo=%d >> AccessPoint=%d.%d.%d.%d;PortNo=%d",
                      {l[0], l[1], l[2], l[3], s.AdapterPort, a[0], a[1], a[2], a[3], s.AccessPort});
    }
    if (!bound) return Format(u"socket=Auto;Port=%d<<ip=No Select", {s.AdapterPort});
    return Format(u"socket=%d.%d.%d.%d;Port=%d<<ip=No Select", {l[0], l[1], l[2], l[3], s.AdapterPort});
}

// What is on besides the connection, before the endpoints.
std::u16string StatePrefix(const StatusInputs& in) {
    std::u16string prefix = in.capturing ? u"REC | " : u"";
    if (in.replying) prefix += u"AUTO | ";
    if (!in.repliesError.empty()) prefix += std::u16string(in.repliesError) + u" | ";
    return prefix;
}

}  // namespace

std::u16string StatusPartText(int part, const StatusInputs& in) {
    const AppSettings& s = *in.settings;
    switch (part) {
    case 0: return StatePrefix(in) + Endpoints(s) + (in.group.empty() ? u"" : u" | Group=" + in.group);
    case 1: return IsTcpMode(ModeOf(s)) ? u"TIP" : u"UDP";
    case 2: return IsServerMode(ModeOf(s)) ? u"Server" : u"Client;";
    case 3: return in.connectionOpen ? u"OPEN" : u"CLOSE";
    case 4: return Format(u"DrawSize=X%d;Y%d", {in.cellsPerRow, in.screenRows});
    case 5: return Format(u"BufferSize=%d/%d", {in.traceCount, kTraceFillScale});
    case 6: return Format(u"Scroll=%d", {in.viewTop});
    case 7: return u"Lanvisor " + std::u16string(kVersionNumber);
    default: return u"";
    }
}

int StatusBackgroundSlot(bool connectionOpen, const AppSettings& settings) {
    if (!connectionOpen) return kStatusClosed;
    switch (ModeOf(settings)) {
    case ConnectionMode::TcpClient: return kStatusTipClient;
    case ConnectionMode::TcpServer: return kStatusTipServer;
    case ConnectionMode::UdpClient: return kStatusUdpClient;
    case ConnectionMode::UdpServer: return kStatusUdpServer;
    }
    return kStatusClosed;
}
