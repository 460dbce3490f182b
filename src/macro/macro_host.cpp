#include "connection/connection_state.h"
#include "connection/send_data.h"
#include "macro/macro_runner.h"
#include "trace/trace_buffer.h"

static_assert(kReceivedBlockCapacity == kReceiveBufferSize, "the macro sees the whole received block");

namespace {

class ProgramHost : public MacroHost {
public:
    int32_t Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) override {
        return SendAndRecord(bytes, length, clientIndex, AddressCells::OnlyWhenSent);
    }
    void CopyLatestReceived(uint8_t (&bytes)[kReceivedBlockCapacity]) override {
        CopyLastReceived(g_Connection, bytes);
    }
    void ClearLatestReceived() override { ClearLastReceived(g_Connection); }
    void StampTrace() override { StampPendingTrailer(g_Trace); }
    const TickClock& Clock() override { return SystemTickClock(); }
};

}  // namespace

MacroHost& ProgramMacroHost() {
    static ProgramHost host;
    return host;
}
