#include "connection/send_data.h"

#include "common/app_settings.h"
#include "connection/connection_state.h"
#include "platform/message_box.h"
#include "platform/socket_error.h"
#include "platform/text.h"
#include "trace/trace_buffer.h"

namespace {

int ValidClientIndex(int32_t index) { return index >= 0 && index < kClientSlots ? index : 0; }

int SendByMode(const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    SocketHandle socket = g_Connection.MainSocket.load();
    switch (g_Connection.Mode) {
    case ConnectionMode::UdpServer:
        return SendDatagram(socket, bytes, length, LastPeer(g_Connection));
    case ConnectionMode::UdpClient:
        return SendDatagram(socket, bytes, length, MakeEndpoint(g_Settings.AccessIp, g_Settings.AccessPort));
    case ConnectionMode::TcpServer:
        return SendOn(ClientSlotAt(g_Connection, clientIndex).socket, bytes, length);
    case ConnectionMode::TcpClient:
        break;
    }
    return SendOn(socket, bytes, length);
}

// The peer the data goes to, as the trace's address cells show it.
uint32_t DestinationAddress(int clientIndex) {
    if (g_Connection.Mode == ConnectionMode::UdpServer) return LastPeer(g_Connection).address;
    return ClientSlotAt(g_Connection, clientIndex).address.address;
}

}  // namespace

int32_t SendData(const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    if (SendByMode(bytes, length, clientIndex) >= 0) return 0;
    int32_t code = LastSocketError();
    char16_t text[32];
    FormatText(text, u"ERR:%d", {code});
    ShowMessageBox(nullptr, TextView(text), u"WSAGetLastError", kMbOk);
    return code != 0 ? code : -1;
}

int32_t SendAndRecord(const uint8_t* bytes, int32_t length, int32_t clientIndex, AddressCells addressCells) {
    int index = ValidClientIndex(clientIndex);
    bool server = IsServerMode(g_Connection.Mode);
    uint32_t address = server ? DestinationAddress(index) : 0;
    int32_t result = SendData(bytes, length, index);
    if (!server) {
        if (result == 0) AppendTrace(g_Trace, bytes, length, Sent);
    } else if (result == 0) {
        AppendAddressedTrace(g_Trace, ToAddress, address, 1, bytes, length, Sent);
    } else if (addressCells == AddressCells::EvenWhenSendFails) {
        AppendAddressCells(g_Trace, ToAddress, address, 1);
    }
    return result;
}
