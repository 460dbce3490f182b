#include "shell/command_dispatch.h"

#include "appearance/color_dialog.h"
#include "appearance/dark_mode_dialog.h"
#include "appearance/environment_dialog.h"
#include "common/app_settings.h"
#include "common/connection_mode.h"
#include "common/help_commands.h"
#include "common/text_table.h"
#include "connection/connection.h"
#include "connection/connection_settings_dialog.h"
#include "macro/macro_dialog.h"
#include "nettools/nettools_dialogs.h"
#include "platform/host_lookup.h"
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
#include "trace/export_commands.h"
#include "trace/trace_buffer.h"
#include "trace/trace_drawing.h"
#include "trace/trace_file.h"
#include "trace/trace_view_state.h"

namespace {

void ClearTraceCommand(HWND window) {
    if (ShowAppMessage(window, kTextClearLogQuestion, kAppMessageYesNo, u"Lanvisor") != kIdYes) return;
    ClearTraceAndView(g_Trace, g_View);
    RepaintMainWindow(window);
}

// Whatever became of the load (chosen, cancelled or refused), the view
// returns to the newest cells.
void LoadTraceCommand(HWND window) {
    LoadTrace(window);
    g_View.FollowNewest = 1;
    RepaintMainWindow(window);
}

void CaptureCommand(HWND window) {
    ToggleCaptureCommand(window);
    RefreshStatusBar();
}

void ConnectionSettingsCommand(HWND window) {
    ShowConnectionSettingsDialog(window, {ShowAdapterSearchDialog, ShowIpAddressDialog, ShowConnectSearchDialog});
    RefreshStatusBar();
}

void OpenConnectionCommand(HWND window) {
    OpenConnection(window);
    // A server shows the user where it can be reached.
    if (IsServerMode(ModeOf(g_Settings))) RefreshLocalHostInfo(g_LocalHost, PlatformHostLookup());
    if (IsConnectionActive()) g_View.FollowNewest = 1;
    RepaintMainWindow(window);
    RefreshStatusBar();
    if (IsConnectionActive()) SetToolbarConnected();
}

void CloseConnectionCommand(HWND window) {
    CloseConnection(window);
    RepaintMainWindow(window);
    RefreshStatusBar();
    if (!IsConnectionActive()) SetToolbarDisconnected();
}

void LanguageCommand(HWND window) {
    ShowLanguageDialog(window);
    RefreshStatusBar();
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

void JumpCommand(HWND window, bool toLast) {
    if (toLast) JumpToLastLine(g_View, TraceCount(g_Trace));
    else JumpToFirstLine(g_View);
    RepaintMainWindow(window);
}

}  // namespace

void ScrollTraceForward(HWND window) {
    ScrollForward(g_View, TraceCount(g_Trace), g_Settings.ScrollPitch);
    RepaintTraceArea(window);
}

void ScrollTraceBack(HWND window) {
    ScrollBack(g_View, g_Settings.ScrollPitch);
    RepaintTraceArea(window);
}

bool RunMainCommand(HWND window, int id) {
    const CommandEntry* command = FindCommand(id);
    if (!command) return false;
    switch (command->action) {
    case CommandAction::SaveTrace: SaveTrace(window); break;
    case CommandAction::LoadTrace: LoadTraceCommand(window); break;
    case CommandAction::EndProgram: DestroyWindow(window); break;
    case CommandAction::Repaint: RepaintMainWindow(window); break;
    case CommandAction::ClearTrace: ClearTraceCommand(window); break;
    case CommandAction::ScrollForward: ScrollTraceForward(window); break;
    case CommandAction::ScrollBack: ScrollTraceBack(window); break;
    case CommandAction::JumpToLastLine: JumpCommand(window, true); break;
    case CommandAction::JumpToFirstLine: JumpCommand(window, false); break;
    case CommandAction::InputSendDialog: OpenInputSendDialog(window); break;
    case CommandAction::PresetSendDialog: OpenPresetSendDialog(window); break;
    case CommandAction::MacroDialog: OpenMacroDialog(window); break;
    case CommandAction::PresetEditDialog: OpenPresetEditDialog(window); break;
    case CommandAction::Memo: OpenMemo(window); break;
    case CommandAction::MacroFileEditor: EditMacroFiles(window); break;
    case CommandAction::ConnectionSettings: ConnectionSettingsCommand(window); break;
    case CommandAction::OpenConnection: OpenConnectionCommand(window); break;
    case CommandAction::CloseConnection: CloseConnectionCommand(window); break;
    case CommandAction::HostName: ShowHostNameMessage(window, g_LocalHost, PlatformHostLookup()); break;
    case CommandAction::EnvironmentDialog: ShowEnvironmentDialog(window); break;
    case CommandAction::DarkModeDialog: DarkModeCommand(window); break;
    case CommandAction::LanguageDialog: LanguageCommand(window); break;
    case CommandAction::ColorDialog: ShowColorDialog(window); break;
    case CommandAction::AboutDialog: ShowAboutDialog(window); break;
    case CommandAction::Manual: OpenManual(window); break;
    case CommandAction::WebPage: OpenWebPage(window); break;
    case CommandAction::ExportTrace: ExportCommand(window); break;
    case CommandAction::CaptureToFile: CaptureCommand(window); break;
    case CommandAction::CaptureFolder:
        ChooseCaptureFolder(window);
        RefreshStatusBar();
        break;
    }
    return true;
}
