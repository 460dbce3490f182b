// The macro host of a session: a macro sends and records on the session's
// connection and trace and reads the replies its connection noted. The
// checksum letter case is read from the owner's settings at every use, so a
// change in the settings acts at once; the language of fault messages is
// the program's.
#pragma once

#include <functional>

#include "common/app_settings.h"
#include "macro/macro_runner.h"
#include "session/session.h"

class SessionMacroHost : public MacroHost {
public:
    SessionMacroHost(Session& session, const AppSettings& settings) : session_(session), settings_(settings) {}

    int32_t Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) override;
    void MarkReceived() override;
    bool FirstReceivedSince(int32_t count, ReceivedBlock& out) override;
    bool LatestReceivedSince(ReceivedBlock& out) override;
    void StampTrace() override;
    const TickClock& Clock() override;
    bool LowerCaseHex() override;
    bool FaultsInJapanese() override;

    // The window's: shows the newest stamp at once after each step.
    std::function<void()> RedrawStamp;

private:
    Session& session_;
    const AppSettings& settings_;
};

// One step of the session's macro.
MacroStepResult StepSessionMacro(Session& session, SessionMacroHost& host);
