#include <chrono>
#include <thread>

#include "common/program_context.h"
#include "connection/connection.h"
#include "connection/datagram_options.h"
#include "connection/socket_error_text.h"
#include "platform/socket_error.h"
#include "platform/text.h"

namespace {

constexpr int kClosePollMs = 100;
constexpr int kForcedCloseAttempt = 5;
constexpr int kCloseFailureAttempt = 6;

void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool UserAgreesToDropClient(const ConnectionState& state, WindowHandle owner) {
    // The peer state tells only the latest event: after one client has left,
    // the others still count.
    if (state.PeerState.load() != kTcpClientAttached && ConnectedClientCount(state) == 0) return true;
    return ShowAppMessage(owner, kTextClientStillConnected, kAppMessageYesNo, AppText(kTextCloseConnection)) == kIdYes;
}

// The clients a server accepted go with it.
void CloseClientSockets(ConnectionState& state) {
    for (int k = 0; k < kClientSlots; ++k) {
        ClientSlot slot = ClientSlotAt(state, k);
        if (slot.socket != kInvalidSocket) CloseSocket(slot.socket);
    }
    FreeAllClientSlots(state);
}

// Shuts the socket down and waits for the receive thread to end. False when
// it did not end in time: the connection then stays open. The socket is
// never closed while the thread may still use it.
bool StopReceiveThread(ConnectionState& state, WindowHandle owner) {
    SocketHandle socket = state.MainSocket.load();
    bool tcpClient = state.Opened.Mode == ConnectionMode::TcpClient;
    for (int attempt = 0;;) {
        if (ShutdownSocket(socket, ShutdownDirection::Both) != 0 && tcpClient) ShowShutdownError(LastSocketError(), 1);
        Wait(kClosePollMs);
        if (!state.ReceiveThread.Running()) {
            state.ReceiveThread.Join();
            return true;
        }
        ++attempt;
        if (attempt == kForcedCloseAttempt) ShowMessageBox(owner, u"Error\uFF01", u"Forced termination", kMbOk);
        if (attempt == kCloseFailureAttempt) {
            state.ConnectionActive.store(true);
            ShowMessageBox(owner, u"Error\uFF01", u"Close failure", kMbOk);
            return false;
        }
    }
}

}  // namespace

void CloseConnection(ConnectionState& state, WindowHandle owner) {
    if (!UserAgreesToDropClient(state, owner)) return;
    state.ConnectionActive.store(false);
    if (!StopReceiveThread(state, owner)) return;
    SocketHandle socket = state.MainSocket.exchange(kInvalidSocket);
    bool tcp = IsTcpMode(state.Opened.Mode);
    if (state.Opened.Mode == ConnectionMode::TcpServer) CloseClientSockets(state);
    LeaveJoinedGroup(state, socket);
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
    state.PeerState.store(kNoPeer);
    ShowMessageBox(owner, u"Success\uFF01", u"LAN disconnect", kMbOk);
}
