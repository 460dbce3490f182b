#include "connection/send_data.h"

#include <chrono>
#include <thread>

#include "common/program_context.h"
#include "connection/receive_loops.h"
#include "platform/socket_error.h"
#include "platform/text.h"

namespace {

constexpr int kRoomWaitMs = 50;          // a send that waits for room looks at GiveUp this often
constexpr int32_t kGivenUpCode = 10060;  // WSAETIMEDOUT

// Where a send goes, looked up before the trace is held.
struct SendTarget {
    SocketHandle socket = kInvalidSocket;
    bool datagram = false;
    Ipv4Endpoint to;        // a datagram's receiver
    Ipv4Endpoint labelled;  // the peer the server's address cells name
};

SendTarget TargetOf(const ConnectionState& state, int clientIndex) {
    SendTarget t;
    t.socket = state.MainSocket.load();
    switch (state.Opened.Mode) {
    case ConnectionMode::UdpServer:
        t.datagram = true;
        t.to = LastPeer(state);
        t.labelled = t.to;
        break;
    case ConnectionMode::UdpClient:
        t.datagram = true;
        t.to = state.Opened.Access;
        break;
    case ConnectionMode::TcpServer: {
        ClientSlot slot = ClientSlotAt(state, clientIndex);
        t.socket = slot.socket;
        t.labelled = slot.address;
        break;
    }
    case ConnectionMode::TcpClient:
        break;
    }
    return t;
}

int SendPiece(const SendTarget& t, const uint8_t* bytes, int32_t length) {
    return t.datagram ? SendDatagram(t.socket, bytes, length, t.to) : SendOn(t.socket, bytes, length);
}

// Waits until the socket has room again (or, while replies wait on the
// stream, a moment for the receive side to send them); false when the owner
// gives up.
bool WaitForRoom(const ConnectionState& state, SocketHandle socket, bool forReplies) {
    while (!(state.GiveUp && state.GiveUp())) {
        if (forReplies) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kReplyRetryMs));
            return true;
        }
        if (WaitWritable(socket, kRoomWaitMs) != 0) return true;  // room, or a failure the next send reports
    }
    return false;
}

int32_t ShowSendError(int32_t code) {
    char16_t text[32];
    FormatText(text, u"ERR:%d", {code});
    ShowMessageBox(nullptr, TextView(text), u"WSAGetLastError", kMbOk);
    return code != 0 ? code : -1;
}

}  // namespace

void RecordSentBlock(TraceSendHold& hold, bool server, const Ipv4Endpoint& peer, const uint8_t* bytes,
                     int32_t length) {
    uint16_t port = server ? peer.port : 0;
    if (server) hold.RecordAddress(ToAddress, peer.address, 1, port);
    hold.Record(bytes, length, Sent, port);
}

int32_t SendAndRecord(ConnectionState& state, TraceBuffer& trace, const uint8_t* bytes, int32_t length,
                      int32_t clientIndex, AddressCells addressCells) {
    bool server = IsServerMode(state.Opened.Mode);
    int32_t slot = clientIndex >= 0 && clientIndex < kClientSlots ? clientIndex : 0;
    SendTarget target = TargetOf(state, slot);
    int32_t stream = TcpStreamOf(state, slot);
    int32_t done = 0;  // bytes of a stream already gone
    for (;;) {
        bool failed = false, repliesFirst = false;
        int32_t code = 0;
        {
            TraceSendHold hold(trace);
            // Replies from rules waiting on this stream leave before a new send starts.
            repliesFirst = done == 0 && stream >= 0 && state.RepliesQueued[stream] > 0;
            int sent = repliesFirst ? 0 : SendPiece(target, bytes + done, length - done);
            if (sent >= 0 && (target.datagram || done + sent >= length)) {
                RecordSentBlock(hold, server, target.labelled, bytes, length);
                state.OwnerStream = -1;
                return 0;
            }
            if (sent > 0) {
                done += sent;
                state.OwnerStream = stream;  // until the rest has gone, replies wait
            }
            if (sent == -1) {
                failed = true;
                code = LastSocketError();
                state.OwnerStream = -1;
                if (done > 0)  // what went before the failure is on the wire: the trace shows it
                    RecordSentBlock(hold, server, target.labelled, bytes, done);
                else if (server && addressCells == AddressCells::EvenWhenSendFails)
                    hold.RecordAddress(ToAddress, target.labelled.address, 1, target.labelled.port);
            }
        }
        if (failed) return ShowSendError(code);  // the box outside the lock
        if (!WaitForRoom(state, target.socket, repliesFirst)) {
            TraceSendHold hold(trace);
            state.OwnerStream = -1;
            if (done > 0) RecordSentBlock(hold, server, target.labelled, bytes, done);
            return ShowSendError(kGivenUpCode);
        }
    }
}
