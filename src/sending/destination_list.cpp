#include "sending/destination_list.h"

#include "platform/text.h"

namespace {

void AddEntry(DestinationList& list, int32_t number, const Ipv4Address& address) {
    if (list.count >= kDestinationCapacity) return;
    const uint8_t* o = address.octets;
    FormatText(list.texts[list.count++], u"%d-IP:%d,%d,%d,%d]", {number, int(o[0]), int(o[1]), int(o[2]), int(o[3])});
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
        Ipv4Address peers[kUdpPeerCapacity];
        int32_t count = UdpPeers(state, peers);
        for (int32_t i = 0; i < count && i < kUdpPeerCapacity; ++i) AddEntry(list, i, peers[i]);
    }
}
