#include <cstdio>

#include "common/program_context.h"
#include "connection/connection.h"
#include "connection/datagram_options.h"
#include "connection/receive_loops.h"
#include "connection/socket_error_text.h"
#include "platform/code_page.h"
#include "platform/socket_error.h"
#include "platform/text.h"
#include "trace/trace_buffer.h"

namespace {

constexpr size_t kMessageLineCapacity = 64;  // 63 characters a line
constexpr int kListenBacklog = 3;

void ShowCodeBox(WindowHandle owner, std::u16string_view pattern, long long value, std::u16string_view caption) {
    char16_t text[64];
    FormatText(text, pattern, {value});
    ShowMessageBox(owner, TextView(text), caption, kMbOk);
}

// A server that does not bind to the adapter listens on every address.
Ipv4Endpoint ServerEndpoint(const ConnectionSettings& settings) {
    Ipv4Endpoint local = settings.Adapter;
    if (!settings.BindToAdapter) local.address = Ipv4Address{};
    return local;
}

// The owner gave up, or the failure was told already.
void Release(SocketHandle socket) {
    CloseSocket(socket);
    SocketCleanup();
}

// A failed bind, listen or connect: report it, release the socket and the library.
bool FailStep(const ConnectionState& state, WindowHandle owner, std::u16string_view callName,
              SocketHandle socket) {
    ShowSocketError(owner, callName, state.Opened.BindToAdapter);
    if (CloseSocket(socket) != 0) ShowSocketError(owner, u"closesocket");
    SocketCleanup();
    return false;
}

void ReceiveThreadBody(ConnectionState& state, TraceBuffer& trace) {
    switch (state.Opened.Mode) {
    case ConnectionMode::TcpClient:
        TcpClientReceiveLoop(state, trace);
        break;
    case ConnectionMode::TcpServer:
        TcpServerReceiveLoop(state, trace);
        break;
    case ConnectionMode::UdpClient:
    case ConnectionMode::UdpServer:
        UdpReceiveLoop(state, trace);
        break;
    }
}

// Start-up and socket: the steps every open begins with.
bool StartAndOpenSocket(ConnectionState& state, WindowHandle owner, bool tcp, SocketHandle& socket) {
    SocketLibraryInfo info;
    int32_t r = SocketStartup(SocketVersionWord(state.Opened.WsaVersion), info);
    if (r != 0) {
        ShowCodeBox(owner, u"%d", r, u"WSAStartup_Error");
        return false;
    }
    state.LibraryInfo = info;
    ShowMessageBox(owner, StartupMessage(info), u"WSAStartup", kMbOk);
    socket = OpenSocket(tcp);
    if (socket == kInvalidSocket) {
        ShowSocketError(owner, u"socket");
        SocketCleanup();
        return false;
    }
    // No call waits on its own: a connect or a send waits in slices, so that
    // the owner can give up (GiveUp).
    SetNonBlocking(socket);
    // Room for a burst of datagrams while the receive thread catches up
    // (the system may give less); a refusal changes nothing else.
    if (!tcp) SetReceiveBufferSize(socket, kDatagramReceiveBufferRequest);
    return true;
}

// The steps every open ends with: the receive thread and the success box.
bool StartReceiving(ConnectionState& state, TraceBuffer& trace, WindowHandle owner, SocketHandle socket) {
    state.MainSocket.store(socket);
    // Before the thread starts, never after: a peer may turn up at once,
    // also while the success box below is still open.
    state.PeerState.store(kNoPeer);
    state.ClientsAccepted.store(0);
    state.ConnectionActive.store(true);  // before the thread looks at it
    int r = state.ReceiveThread.Start([&state, &trace] { ReceiveThreadBody(state, trace); });
    if (r != 0) {
        state.ConnectionActive.store(false);
        state.GroupJoined = false;  // the close below leaves it
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

void ShowWaitIndicator(ConnectionState& state, WindowHandle owner) {
    if (state.WaitIndicator) state.WaitIndicator->Show(owner);
}

void CloseWaitIndicator(ConnectionState& state) {
    if (state.WaitIndicator) state.WaitIndicator->Close();
}

constexpr int kConnectSliceMs = 50;
constexpr int kConnectGivenUp = 1;

// Connects in slices, asking the owner between them whether to give up:
// 0, -1 (failed: the socket error tells why) or kConnectGivenUp.
int Connect(const ConnectionState& state, SocketHandle socket) {
    int r = ConnectSocket(socket, state.Opened.Access);
    while (r == kWouldBlock) {
        if (state.GiveUp && state.GiveUp()) return kConnectGivenUp;
        r = FinishConnect(socket, kConnectSliceMs);
    }
    return r;
}

// A client binds to its adapter only when the settings ask for it.
bool BindClient(ConnectionState& state, WindowHandle owner, SocketHandle socket) {
    const ConnectionSettings& settings = state.Opened;
    if (!settings.BindToAdapter || BindSocket(socket, settings.Adapter) == 0) return true;
    return FailStep(state, owner, u"bind", socket);
}

bool OpenTcpClient(ConnectionState& state, TraceBuffer& trace, WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(state, owner, true, socket) || !BindClient(state, owner, socket)) return false;
    ShowWaitIndicator(state, owner);
    int r = Connect(state, socket);
    if (r != 0) {
        if (r == kConnectGivenUp) Release(socket);
        else FailStep(state, owner, u"connect", socket);  // the box shows while the wait window still does
        CloseWaitIndicator(state);
        return false;
    }
    CloseWaitIndicator(state);
    ShowSocketSuccess(owner, socket);
    return StartReceiving(state, trace, owner, socket);
}

bool OpenTcpServer(ConnectionState& state, TraceBuffer& trace, WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(state, owner, true, socket)) return false;
    if (BindSocket(socket, ServerEndpoint(state.Opened)) != 0) return FailStep(state, owner, u"bind", socket);
    if (ListenSocket(socket, kListenBacklog) != 0) return FailStep(state, owner, u"listen", socket);
    return StartReceiving(state, trace, owner, socket);
}

// A UDP socket's bind (none for a client left to the system), then its
// broadcast and group options.
bool BindAndPrepareDatagram(ConnectionState& state, WindowHandle owner, SocketHandle socket) {
    Ipv4Endpoint local;
    if (DatagramBindEndpoint(state.Opened, local) && BindSocket(socket, local) != 0)
        return FailStep(state, owner, u"bind", socket);
    std::u16string_view failed = PrepareDatagramSocket(state, socket);
    if (failed.empty()) return true;
    ShowSocketError(owner, failed);  // not the bind's advice to wait
    Release(socket);
    return false;
}

bool OpenUdpClient(ConnectionState& state, TraceBuffer& trace, WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(state, owner, false, socket) || !BindAndPrepareDatagram(state, owner, socket)) return false;
    ShowSocketSuccess(owner, socket);
    return StartReceiving(state, trace, owner, socket);
}

bool OpenUdpServer(ConnectionState& state, TraceBuffer& trace, WindowHandle owner) {
    SocketHandle socket;
    if (!StartAndOpenSocket(state, owner, false, socket) || !BindAndPrepareDatagram(state, owner, socket)) return false;
    ClearUdpPeers(state);  // before the thread can add the first sender
    return StartReceiving(state, trace, owner, socket);
}

}  // namespace

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

bool OpenConnection(ConnectionState& state, TraceBuffer& trace, const ConnectionSettings& settings,
                    WindowHandle owner) {
    state.Opened = settings;
    state.GroupJoined = false;
    switch (settings.Mode) {
    case ConnectionMode::UdpServer: return OpenUdpServer(state, trace, owner);
    case ConnectionMode::UdpClient: return OpenUdpClient(state, trace, owner);
    case ConnectionMode::TcpServer: return OpenTcpServer(state, trace, owner);
    case ConnectionMode::TcpClient: break;
    }
    return OpenTcpClient(state, trace, owner);
}

bool StartWinsock(WindowHandle owner) {
    SocketLibraryInfo info;
    int32_t r = SocketStartup(0x0202, info);
    if (r == 0) return true;
    ShowCodeBox(owner, u"%d", r, u"WSAStartup_Error");
    return false;
}
