#include <chrono>
#include <thread>

#include "common/text_table.h"
#include "connection/connection.h"
#include "connection/socket_error_text.h"
#include "platform/socket_error.h"
#include "platform/text.h"

namespace {

constexpr int kClosePollMs = 100;
constexpr int kForcedCloseAttempt = 5;
constexpr int kCloseFailureAttempt = 6;

void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool UserAgreesToDropClient(WindowHandle owner) {
    // The peer state tells only the latest event: after one client has left,
    // the others still count.
    if (g_Connection.PeerState.load() != kTcpClientAttached && ConnectedClientCount(g_Connection) == 0) return true;
    return ShowAppMessage(owner, kTextClientStillConnected, kAppMessageYesNo, AppText(kTextCloseConnection)) == kIdYes;
}

// The clients a server accepted go with it.
void CloseClientSockets() {
    for (int k = 0; k < kClientSlots; ++k) {
        ClientSlot slot = ClientSlotAt(g_Connection, k);
        if (slot.socket != kInvalidSocket) CloseSocket(slot.socket);
    }
    FreeAllClientSlots(g_Connection);
}

// Shuts the socket down and waits for the receive thread to end. False when
// it did not end in time: the connection then stays open. The socket is
// never closed while the thread may still use it.
bool StopReceiveThread(WindowHandle owner) {
    SocketHandle socket = g_Connection.MainSocket.load();
    bool tcpClient = g_Connection.Mode == ConnectionMode::TcpClient;
    for (int attempt = 0;;) {
        if (ShutdownSocket(socket, ShutdownDirection::Both) != 0 && tcpClient) ShowShutdownError(LastSocketError(), 1);
        Wait(kClosePollMs);
        if (!g_Connection.ReceiveThread.Running()) {
            g_Connection.ReceiveThread.Join();
            return true;
        }
        ++attempt;
        if (attempt == kForcedCloseAttempt) ShowMessageBox(owner, u"Error\uFF01", u"Forced termination", kMbOk);
        if (attempt == kCloseFailureAttempt) {
            g_Connection.ConnectionActive.store(true);
            ShowMessageBox(owner, u"Error\uFF01", u"Close failure", kMbOk);
            return false;
        }
    }
}

}  // namespace

void CloseConnection(WindowHandle owner) {
    if (!UserAgreesToDropClient(owner)) return;
    g_Connection.ConnectionActive.store(false);
    if (!StopReceiveThread(owner)) return;
    SocketHandle socket = g_Connection.MainSocket.exchange(kInvalidSocket);
    bool tcp = IsTcpMode(g_Connection.Mode);
    if (g_Connection.Mode == ConnectionMode::TcpServer) CloseClientSockets();
    if (CloseSocket(socket) != 0 && tcp) {
        ShowSocketError(owner, u"closesocket");
        return;
    }
    int32_t r = SocketCleanup();
    if (r != 0) {
        char16_t text[16];
        FormatText(text, u"%d", {r});
        ShowMessageBox(owner, TextView(text), u"WSACleanup", kMbOk);
        return;
    }
    g_Connection.PeerState.store(kNoPeer);
    ShowMessageBox(owner, u"Success\uFF01", u"LAN disconnect", kMbOk);
}
