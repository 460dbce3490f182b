#include "shell/command_dispatch.h"

#include "appearance/color_dialog.h"
#include "appearance/dark_mode_dialog.h"
#include "appearance/environment_dialog.h"
#include "common/connection_mode.h"
#include "common/help_commands.h"
#include "common/text_table.h"
#include "connection/connection_settings_dialog.h"
#include "macro/macro_dialog.h"
#include "nettools/nettools_dialogs.h"
#include "platform/host_lookup.h"
#include "replies/reply_rules_dialog.h"
#include "sending/input_send_dialog.h"
#include "sending/preset_edit_dialog.h"
#include "sending/preset_send_dialog.h"
#include "shell/about_dialog.h"
#include "shell/command_table.h"
#include "shell/language_dialog.h"
#include "shell/local_host_info.h"
#include "shell/macro_file_editing_win32.h"
#include "shell/main_window.h"
#include "shell/menu_bar_window.h"
#include "shell/restart.h"
#include "shell/status_bar_window.h"
#include "shell/toolbar_window.h"
#include "trace/capture_folder_win32.h"
#include "trace/trace_drawing.h"
#include "trace/trace_file.h"

namespace {

void ClearTraceCommand(HWND window, WindowState& state) {
    if (ShowAppMessage(window, kTextClearLogQuestion, kAppMessageYesNo, u"Lanvisor") != kIdYes) return;
    ClearTraceAndView(state.Engine.Trace, state.View);
    RepaintMainWindow(window);
}

// Whatever became of the load (chosen, cancelled or refused), the view
// returns to the newest cells.
void LoadTraceCommand(HWND window, WindowState& state) {
    LoadTrace(window, state.Engine.Trace);
    state.View.FollowNewest = 1;
    RepaintMainWindow(window);
}

void CaptureCommand(HWND window, WindowState& state) {
    ToggleCaptureCommand(window, state.CaptureParts());
    RefreshStatusBar(state);
}

void CaptureFolderCommand(HWND window, WindowState& state) {
    ChooseCaptureFolder(window, state.CaptureParts());
    RefreshStatusBar(state);
}

void ReplyRulesCommand(HWND window, WindowState& state) {
    ShowReplyRulesDialog(window, state.RepliesDialog);
    RefreshStatusBar(state);
}

// Turning on with no rules loaded yet first asks for the file.
void ReplyAutomaticallyCommand(HWND window, WindowState& state) {
    bool on = !state.Engine.Replies.On();
    if (on && !state.Replies.Loaded) ShowReplyRulesDialog(window, state.RepliesDialog);
    SetReplyRulesOn(state.Replies, on);
    RefreshStatusBar(state);
}

void ConnectionSettingsCommand(HWND window, WindowState& state) {
    AppSettings& settings = state.Settings;
    NetworkTools tools;
    tools.adapterSearch = [&settings](HWND owner) { return ShowAdapterSearchDialog(owner, settings); };
    tools.ipAddress = [&settings, &state](HWND owner) { return ShowIpAddressDialog(owner, settings, state.Autokey); };
    tools.connectSearch = [&settings](HWND owner, bool asAdministrator) {
        return ShowConnectSearchDialog(owner, asAdministrator, settings);
    };
    ShowConnectionSettingsDialog(window, settings, tools);
    RefreshStatusBar(state);
}

void OpenConnectionCommand(HWND window, WindowState& state) {
    OpenSession(state.Engine, state.Settings, window);
    // A server shows the user where it can be reached.
    if (IsServerMode(ModeOf(state.Settings))) RefreshLocalHostInfo(state.LocalHost, PlatformHostLookup());
    if (state.Connected()) state.View.FollowNewest = 1;
    RepaintMainWindow(window);
    RefreshStatusBar(state);
    if (state.Connected()) SetToolbarConnected();
}

void CloseConnectionCommand(HWND window, WindowState& state) {
    CloseSession(state.Engine, window);
    RepaintMainWindow(window);
    RefreshStatusBar(state);
    if (!state.Connected()) SetToolbarDisconnected();
}

void LanguageCommand(HWND window, WindowState& state) {
    ShowLanguageDialog(window, state);
    RefreshStatusBar(state);
    RebuildMenuBar(window);
}

// A new dark-mode file takes effect through a restart: the window shuts
// down in order (settings saved) before the restart tool is started.
void DarkModeCommand(HWND window) {
    if (!ShowDarkModeDialog(window)) return;
    std::u16string_view target = AskRestartTarget(window);
    DestroyWindow(window);
    StartRelaunch(target);
}

void JumpCommand(HWND window, WindowState& state, bool toLast) {
    if (toLast) JumpToLastLine(state.View, TraceCount(state.Engine.Trace));
    else JumpToFirstLine(state.View);
    RepaintMainWindow(window);
}

}  // namespace

void ScrollTraceForward(HWND window, WindowState& state) {
    ScrollForward(state.View, TraceCount(state.Engine.Trace), state.Settings.ScrollPitch);
    RepaintTraceArea(window);
}

void ScrollTraceBack(HWND window, WindowState& state) {
    ScrollBack(state.View, state.Settings.ScrollPitch);
    RepaintTraceArea(window);
}

bool RunMainCommand(HWND window, WindowState& state, int id) {
    const CommandEntry* command = FindCommand(id);
    if (!command) return false;
    switch (command->action) {
    case CommandAction::SaveTrace: SaveTrace(window, state.Engine.Trace); break;
    case CommandAction::LoadTrace: LoadTraceCommand(window, state); break;
    case CommandAction::EndProgram: DestroyWindow(window); break;
    case CommandAction::Repaint: RepaintMainWindow(window); break;
    case CommandAction::ClearTrace: ClearTraceCommand(window, state); break;
    case CommandAction::ScrollForward: ScrollTraceForward(window, state); break;
    case CommandAction::ScrollBack: ScrollTraceBack(window, state); break;
    case CommandAction::JumpToLastLine: JumpCommand(window, state, true); break;
    case CommandAction::JumpToFirstLine: JumpCommand(window, state, false); break;
    case CommandAction::InputSendDialog: OpenInputSendDialog(window, state.Sending); break;
    case CommandAction::PresetSendDialog: OpenPresetSendDialog(window, state.Sending); break;
    case CommandAction::MacroDialog: OpenMacroDialog(window, state.Macro); break;
    case CommandAction::PresetEditDialog: OpenPresetEditDialog(window, state.Sending); break;
    case CommandAction::Memo: OpenMemo(window); break;
    case CommandAction::MacroFileEditor: EditMacroFiles(window); break;
    case CommandAction::ConnectionSettings: ConnectionSettingsCommand(window, state); break;
    case CommandAction::OpenConnection: OpenConnectionCommand(window, state); break;
    case CommandAction::CloseConnection: CloseConnectionCommand(window, state); break;
    case CommandAction::HostName: ShowHostNameMessage(window, state.LocalHost, PlatformHostLookup()); break;
    case CommandAction::EnvironmentDialog: ShowEnvironmentDialog(window, state.Settings); break;
    case CommandAction::DarkModeDialog: DarkModeCommand(window); break;
    case CommandAction::LanguageDialog: LanguageCommand(window, state); break;
    case CommandAction::ColorDialog: ShowColorDialog(window); break;
    case CommandAction::AboutDialog: ShowAboutDialog(window); break;
    case CommandAction::Manual: OpenManual(window); break;
    case CommandAction::WebPage: OpenWebPage(window); break;
    case CommandAction::ExportTrace: ExportCommand(window, state.Engine.Trace, state.Settings); break;
    case CommandAction::CaptureToFile: CaptureCommand(window, state); break;
    case CommandAction::CaptureFolder: CaptureFolderCommand(window, state); break;
    case CommandAction::ReplyRulesDialog: ReplyRulesCommand(window, state); break;
    case CommandAction::ReplyAutomatically: ReplyAutomaticallyCommand(window, state); break;
    }
    return true;
}
