#include "shell/window_state_win32.h"

#include "common/program_context.h"
#include "shell/macro_file_editing_win32.h"

WindowState::WindowState() {
    Sending.Connection = &Engine.Connection;
    Sending.Trace = &Engine.Trace;
    Sending.Settings = &Settings;
    Macro.Run = &Engine.Macro;
    Macro.Registers = &Engine.Registers;
    Macro.Host = &MacroHost;
    Macro.Settings = &Settings;
    Engine.Connection.WaitIndicator = &WaitWindow;
    Replies.Engine = &Engine.Replies;
    Replies.Settings = &Settings;
    RepliesDialog.Control = &Replies;
    RepliesDialog.EditFile = EditTextFile;
}

void ChooseLanguage(WindowState& state, int32_t language) {
    state.Settings.Language = language;
    g_Program.Language = language;
}
