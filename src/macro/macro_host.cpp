#include "common/app_settings.h"
#include "common/text_table.h"
#include "connection/connection_state.h"
#include "connection/send_data.h"
#include "macro/macro_runner.h"
#include "trace/trace_buffer.h"

int32_t ProgramHost::Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    return SendAndRecord(bytes, length, clientIndex, AddressCells::OnlyWhenSent);
}

void ProgramHost::MarkReceived() { ::MarkReceived(g_Connection); }

bool ProgramHost::FirstReceivedSince(int32_t count, ReceivedBlock& out) {
    return ::FirstReceivedSince(g_Connection, count, out);
}

bool ProgramHost::LatestReceivedSince(ReceivedBlock& out) { return ::LatestReceivedSince(g_Connection, out); }

void ProgramHost::StampTrace() {
    StampPendingTrailer(g_Trace);
    if (RedrawStamp) RedrawStamp();
}

const TickClock& ProgramHost::Clock() { return SystemTickClock(); }

bool ProgramHost::LowerCaseHex() { return g_Settings.HexLowerCase != 0; }

bool ProgramHost::FaultsInJapanese() { return g_Settings.Language == kJapanese; }

ProgramHost& ProgramMacroHost() {
    static ProgramHost host;
    return host;
}
