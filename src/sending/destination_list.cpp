#include "sending/destination_list.h"

#include <cstring>

#include "platform/text.h"

namespace {

void AddEntry(DestinationList& list, int32_t number, uint32_t addressNetworkOrder) {
    if (list.count >= kDestinationCapacity) return;
    uint8_t octets[4];
    std::memcpy(octets, &addressNetworkOrder, 4);  // as stored: first octet first
    FormatText(list.texts[list.count++], u"%d-IP:%d,%d,%d,%d]",
               {number, int(octets[0]), int(octets[1]), int(octets[2]), int(octets[3])});
}

}  // namespace

void BuildDestinationList(ConnectionState& state, ConnectionMode mode, DestinationList& list) {
    list = DestinationList{};
    if (!IsServerMode(mode)) return;
    list.enabled = true;
    if (IsTcpMode(mode)) {
        for (int32_t k = 0; k < kClientSlots; ++k) {
            ClientSlot slot = ClientSlotAt(state, k);
            if (slot.socket == kInvalidSocket || slot.socket == 0) continue;
            SetLastClient(state, slot.address);
            AddEntry(list, k, slot.address.address);
        }
    } else if (state.PeerState.load() == kUdpDatagramArrived) {
        uint32_t peers[kUdpPeerCapacity];
        int32_t count = UdpPeers(state, peers);
        for (int32_t i = 0; i < count && i < kUdpPeerCapacity; ++i) AddEntry(list, i, peers[i]);
    }
}
