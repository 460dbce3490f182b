#include "connection/send_data.h"

#include "common/program_context.h"
#include "platform/socket_error.h"
#include "platform/text.h"

namespace {

int ValidClientIndex(int32_t index) { return index >= 0 && index < kClientSlots ? index : 0; }

int SendByMode(ConnectionState& state, const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    SocketHandle socket = state.MainSocket.load();
    switch (state.Opened.Mode) {
    case ConnectionMode::UdpServer:
        return SendDatagram(socket, bytes, length, LastPeer(state));
    case ConnectionMode::UdpClient:
        return SendDatagram(socket, bytes, length, state.Opened.Access);
    case ConnectionMode::TcpServer:
        return SendOn(ClientSlotAt(state, clientIndex).socket, bytes, length);
    case ConnectionMode::TcpClient:
        break;
    }
    return SendOn(socket, bytes, length);
}

// The peer the data goes to, as the trace's address cells show it.
Ipv4Address DestinationAddress(const ConnectionState& state, int clientIndex) {
    if (state.Opened.Mode == ConnectionMode::UdpServer) return LastPeer(state).address;
    return ClientSlotAt(state, clientIndex).address.address;
}

}  // namespace

int32_t SendData(ConnectionState& state, const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    if (SendByMode(state, bytes, length, clientIndex) >= 0) return 0;
    int32_t code = LastSocketError();
    char16_t text[32];
    FormatText(text, u"ERR:%d", {code});
    ShowMessageBox(nullptr, TextView(text), u"WSAGetLastError", kMbOk);
    return code != 0 ? code : -1;
}

int32_t SendAndRecord(ConnectionState& state, TraceBuffer& trace, const uint8_t* bytes, int32_t length,
                      int32_t clientIndex, AddressCells addressCells) {
    int index = ValidClientIndex(clientIndex);
    bool server = IsServerMode(state.Opened.Mode);
    Ipv4Address address = server ? DestinationAddress(state, index) : Ipv4Address{};
    int32_t result = SendData(state, bytes, length, index);
    if (!server) {
        if (result == 0) AppendTrace(trace, bytes, length, Sent);
    } else if (result == 0) {
        AppendAddressedTrace(trace, ToAddress, address, 1, bytes, length, Sent);
    } else if (addressCells == AddressCells::EvenWhenSendFails) {
        AppendAddressCells(trace, ToAddress, address, 1);
    }
    return result;
}
