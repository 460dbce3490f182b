#include "sending/send_history.h"

#include <algorithm>

#include "common/text_table.h"
#include "connection/send_data.h"
#include "platform/text.h"
#include "sending/input_line.h"

namespace {


bool SameSlots(const LineEntry& entry, const LineEntry& line) {
    return std::equal(std::begin(entry.codes), std::end(entry.codes), std::begin(line.codes));
}

}  // namespace

bool AddToHistory(SendHistory& history, const char16_t* codes, int32_t count) {
    LineEntry line;
    SetLineEntry(line, codes, count);
    if (line.count == 0) return false;
    auto lines = history.Lines();
    for (const LineEntry& entry : lines)
        if (entry.count > 0 && SameSlots(entry, line)) return false;
    std::move_backward(lines.begin(), lines.end() - 1, lines.end());
    lines.front() = line;
    return true;
}

void DeleteHistoryEntry(SendHistory& history, int32_t index) {
    auto lines = history.Lines();
    if (index < 0 || index >= static_cast<int32_t>(lines.size())) return;
    std::move(lines.begin() + index + 1, lines.end(), lines.begin() + index);
    ClearLineEntry(lines.back());
}

bool SendAllowed(ConnectionMode mode, int32_t peerState, int connectedClients) {
    if (!IsServerMode(mode)) return true;
    if (IsTcpMode(mode)) return peerState == kTcpClientAttached || connectedClients > 0;
    return peerState == kUdpDatagramArrived;
}

bool CheckSendDestination(WindowHandle owner, const ConnectionState& state) {
    if (SendAllowed(state.Opened.Mode, state.PeerState.load(), ConnectedClientCount(state))) return true;
    char16_t caption[kAppTextCapacity] = u"";
    GetAppText(kTextSendError, caption);
    ShowAppMessage(owner, kTextNoClientToSendTo, kAppMessageOk, TextView(caption));
    return false;
}

int32_t DestinationIndexFromText(std::u16string_view text) {
    if (text.empty()) return 0;
    char16_t first = text.front();
    return first >= u'0' && first <= u'9' ? first - u'0' : 0;
}

int32_t SendLineFromDialog(ConnectionState& state, TraceBuffer& trace, SendHistory& history, const char16_t* codes,
                           int32_t count, std::u16string_view destinationText) {
    uint8_t bytes[kLineCodes];
    int32_t n = ConvertLineToBytes(codes, count, bytes);
    if (n == 0) return 0;
    int32_t result = SendAndRecord(state, trace, bytes, n, DestinationIndexFromText(destinationText),
                                   AddressCells::EvenWhenSendFails);
    if (result == 0) AddToHistory(history, codes, n);
    return result;
}
