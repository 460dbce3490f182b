#include "session/session_macro_host.h"

#include "common/program_context.h"
#include "connection/send_data.h"

int32_t SessionMacroHost::Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) {
    return SendAndRecord(session_.Connection, session_.Trace, bytes, length, clientIndex, AddressCells::OnlyWhenSent);
}

void SessionMacroHost::MarkReceived() { ::MarkReceived(session_.Connection); }

bool SessionMacroHost::FirstReceivedSince(int32_t count, ReceivedBlock& out) {
    return ::FirstReceivedSince(session_.Connection, count, out);
}

bool SessionMacroHost::LatestReceivedSince(ReceivedBlock& out) {
    return ::LatestReceivedSince(session_.Connection, out);
}

void SessionMacroHost::StampTrace() {
    StampPendingTrailer(session_.Trace);
    if (RedrawStamp) RedrawStamp();
}

const TickClock& SessionMacroHost::Clock() { return SystemTickClock(); }

bool SessionMacroHost::LowerCaseHex() { return settings_.HexLowerCase != 0; }

bool SessionMacroHost::FaultsInJapanese() { return g_Program.Language == kJapanese; }

MacroStepResult StepSessionMacro(Session& session, SessionMacroHost& host) {
    return RunMacroStep(session.Macro, session.Registers, host);
}
