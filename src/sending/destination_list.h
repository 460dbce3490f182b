// The texts of the destination box of the sending dialogs: in server mode one
// entry per client the data can go to, "<n>-IP:a,b,c,d]".
#pragma once

#include <cstddef>
#include <cstdint>

#include "connection/connection_state.h"

constexpr int32_t kDestinationCapacity = kUdpPeerCapacity;  // 20 UDP senders, or 10 client slots
constexpr size_t kDestinationTextCapacity = 32;

struct DestinationList {
    bool enabled = false;  // false in client mode: disable the box and leave its entries
    int32_t count = 0;     // entries to add; the first also becomes the box's text
    char16_t texts[kDestinationCapacity][kDestinationTextCapacity] = {};
};

// Fills the list from the connection: a TCP server lists its occupied client
// slots by slot number (the client listed last becomes the last client), a
// UDP server the senders it has heard from by their order of arrival, once a
// datagram has arrived.
void BuildDestinationList(ConnectionState& state, ConnectionMode mode, DestinationList& list);
