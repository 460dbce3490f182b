// Everything the main window owns for the run: the user's settings, its
// session (the connection, the trace, the macro run, the reply engine), its
// view of the trace, the capture, the rules file it answers by, what the
// dialogs keep between openings, and the helpers bound to them. The program entry makes one and hands it to the
// window at creation; it lives until the message loop ends.
#pragma once

#include "common/app_settings.h"
#include "connection/connect_wait_window.h"
#include "macro/macro_dialog.h"
#include "nettools/autokey_settings.h"
#include "replies/reply_rules_dialog.h"
#include "sending/sending_dialogs_window.h"
#include "session/session.h"
#include "session/session_macro_host.h"
#include "shell/local_host_info.h"
#include "trace/export_commands.h"
#include "trace/trace_capture.h"
#include "trace/trace_view_state.h"

struct WindowState {
    WindowState();
    WindowState(const WindowState&) = delete;
    WindowState& operator=(const WindowState&) = delete;

    AppSettings Settings;
    Session Engine;
    SessionMacroHost MacroHost{Engine, Settings};
    TraceViewState View;
    CaptureSession Capture;
    SendingDialogs Sending;
    MacroDialogContext Macro;
    AutokeySettings Autokey;
    LocalHostInfo LocalHost;
    ConnectWaitWindow WaitWindow;
    ReplyRulesControl Replies;
    ReplyRulesDialogContext RepliesDialog;

    WindowCapture CaptureParts() { return {Capture, Engine.Trace, Settings}; }
    bool Connected() const { return IsSessionOpen(Engine); }
};

// The language the user chose: the program's texts and the settings change together.
void ChooseLanguage(WindowState& state, int32_t language);
