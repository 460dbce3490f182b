#include <cstdio>

#include "common/app_settings.h"
#include "connection/connection.h"
#include "connection/receive_loops.h"
#include "connection/socket_error_text.h"
#include "platform/code_page.h"
#include "platform/socket_error.h"
#include "platform/text.h"
#include "trace/trace_buffer.h"

namespace {

class NoWaitIndicator : public ConnectWaitIndicator {
public:
    void Show(WindowHandle) override {}
    void Close() override {}
};

NoWaitIndicator noIndicator;
ConnectWaitIndicator* waitIndicator = &noIndicator;

constexpr size_t kMessageLineCapacity = 64;  // 63 characters a line
constexpr int kListenBacklog = 3;

void ShowCodeBox(WindowHandle owner, std::u16string_view pattern, long long value, std::u16string_view caption) {
    char16_t text[64];
    FormatText(text, pattern, {value});
    ShowMessageBox(owner, TextView(text), caption, kMbOk);
}

Ipv4Endpoint LocalEndpointFromSettings(bool bindToAdapter) {
    Ipv4Endpoint local = MakeEndpoint(g_Settings.AdapterIp, g_Settings.AdapterPort);
    if (!bindToAdapter) local.address = 0;  // every local address
    return local;
}

bool BindToAdapter() { return g_Settings.BindMode == 1; }

// A failed bind, listen or connect: report it, release the socket and the library.
bool FailStep(WindowHandle owner, std::u16string_view callName, SocketHandle socket) {
    ShowSocketError(owner, callName);
    if (CloseSocket(socket) != 0) ShowSocketError(owner, u"closesocket");
    SocketCleanup();
    return false;
}

void ReceiveThreadBody(ConnectionMode mode) {
    switch (mode) {
    case ConnectionMode::TcpClient:
        TcpClientReceiveLoop(g_Connection, g_Trace);
        break;
    case ConnectionMode::TcpServer:
        TcpServerReceiveLoop(g_Connection, g_Trace);
        break;
    case ConnectionMode::UdpClient:
    case ConnectionMode::UdpServer:
        UdpReceiveLoop(g_Connection, g_Trace);
        break;
    }
}

// Start-up and socket: the steps every open begins with.
bool StartAndOpenSocket(WindowHandle owner, bool tcp, SocketHandle& socket) {
    SocketLibraryInfo info;
    int32_t r = SocketStartup(SocketVersionWord(g_Settings.WsaVersion), info);
    if (r != 0) {
        ShowCodeBox(owner, u"%d", r, u"WSAStartup_Error");
        return false;
    }
    g_Connection.LibraryInfo = info;
    ShowMessageBox(owner, StartupMessage(info), u"WSAStartup", kMbOk);
    socket = OpenSocket(tcp);
    if (socket == kInvalidSocket) {
        ShowSocketError(owner, u"socket");
        SocketCleanup();
        return false;
    }
    // Room for a burst of datagrams while the receive thread catches up
    // (the system may give less); a refusal changes nothing else.
    if (!tcp) SetReceiveBufferSize(socket, kDatagramReceiveBufferRequest);
    return true;
}

// The steps every open ends with: the receive thread and the success box.
bool StartReceiving(WindowHandle owner, ConnectionMode mode, SocketHandle socket) {
    g_Connection.Mode = mode;
    g_Connection.MainSocket.store(socket);
    // Before the thread starts, never after: a peer may turn up at once,
    // also while the success box below is still open.
    g_Connection.PeerState.store(kNoPeer);
    g_Connection.ConnectionActive.store(true);  // before the thread looks at it
    int r = g_Connection.ReceiveThread.Start([mode] { ReceiveThreadBody(mode); });
    if (r != 0) {
        g_Connection.ConnectionActive.store(false);
        ShowCodeBox(owner, u"Thread Error No.%d", r, u"CreateThread");
        ShutdownSocket(socket, ShutdownDirection::Both);
        CloseSocket(socket);
        SocketCleanup();
        return false;
    }
    ShowMessageBox(owner, u"Success of thread!", u"LAN connection", kMbOk);
    return true;
}

void ShowSocketSuccess(WindowHandle owner, SocketHandle socket) {
    ShowCodeBox(owner, u"Success\uFF01 No.%d", SocketNumber(socket), u"LAN connection");
}

}  // namespace

void SetConnectWaitIndicator(ConnectWaitIndicator* indicator) { waitIndicator = indicator ? indicator : &noIndicator; }

uint16_t SocketVersionWord(int32_t wsaVersion) {
    switch (wsaVersion) {
    case 1: return 0x0001;
    case 2: return 0x0101;
    case 3: return 0x0002;
    default: return 0x0202;
    }
}

std::u16string StartupMessage(const SocketLibraryInfo& info) {
    char16_t versions[kMessageLineCapacity];
    FormatText(versions, u"Using:%d.%d/Max:%d.%d",
               {info.version & 0xFF, info.version >> 8, info.highVersion & 0xFF, info.highVersion >> 8});
    std::u16string description = AnsiToUtf16(info.description);
    std::u16string status = AnsiToUtf16(info.systemStatus);
    return FormatString(u"%s\r\n%s\r\n%s", {TextView(versions), CutText(description, kMessageLineCapacity - 1),
                                            CutText(status, kMessageLineCapacity - 1)});
}

bool OpenTcpClient(WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(owner, true, socket)) return false;
    if (BindToAdapter() && BindSocket(socket, LocalEndpointFromSettings(true)) != 0)
        return FailStep(owner, u"bind", socket);
    waitIndicator->Show(owner);
    if (ConnectSocket(socket, MakeEndpoint(g_Settings.AccessIp, g_Settings.AccessPort)) != 0) {
        FailStep(owner, u"connect", socket);  // the box shows while the wait window still does
        waitIndicator->Close();
        return false;
    }
    waitIndicator->Close();
    ShowSocketSuccess(owner, socket);
    return StartReceiving(owner, ConnectionMode::TcpClient, socket);
}

bool OpenTcpServer(WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(owner, true, socket)) return false;
    if (BindSocket(socket, LocalEndpointFromSettings(BindToAdapter())) != 0) return FailStep(owner, u"bind", socket);
    if (ListenSocket(socket, kListenBacklog) != 0) return FailStep(owner, u"listen", socket);
    return StartReceiving(owner, ConnectionMode::TcpServer, socket);
}

bool OpenUdpClient(WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(owner, false, socket)) return false;
    if (BindToAdapter() && BindSocket(socket, LocalEndpointFromSettings(true)) != 0)
        return FailStep(owner, u"bind", socket);
    ShowSocketSuccess(owner, socket);
    return StartReceiving(owner, ConnectionMode::UdpClient, socket);
}

bool OpenUdpServer(WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(owner, false, socket)) return false;
    if (BindSocket(socket, LocalEndpointFromSettings(BindToAdapter())) != 0) return FailStep(owner, u"bind", socket);
    ClearUdpPeers(g_Connection);  // before the thread can add the first sender
    return StartReceiving(owner, ConnectionMode::UdpServer, socket);
}

bool OpenConnection(WindowHandle owner) {
    switch (ModeOf(g_Settings)) {
    case ConnectionMode::UdpServer: return OpenUdpServer(owner);
    case ConnectionMode::UdpClient: return OpenUdpClient(owner);
    case ConnectionMode::TcpServer: return OpenTcpServer(owner);
    case ConnectionMode::TcpClient: break;
    }
    return OpenTcpClient(owner);
}

bool StartWinsock(WindowHandle owner) {
    SocketLibraryInfo info;
    int32_t r = SocketStartup(0x0202, info);
    if (r == 0) return true;
    ShowCodeBox(owner, u"%d", r, u"WSAStartup_Error");
    return false;
}
