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

constexpr int kClearQuestionText = 5;

void ClearTraceCommand(HWND window) {
    if (ShowAppMessage(window, kClearQuestionText, kAppMessageYesNo, u"Lanvisor") != kIdYes) return;
    ClearTraceAndView(g_Trace, g_View);
    RepaintMainWindow(window);
}

void SaveTraceFileCommand(HWND window) { SaveTrace(window); }

// Whatever became of the load (chosen, cancelled or refused), the view
// returns to the newest cells.
void LoadTraceFileCommand(HWND window) {
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

void OpenCommand(HWND window) {
    OpenConnection(window);
    // A server shows the user where it can be reached.
    if (IsServerMode(ModeOf(g_Settings))) RefreshLocalHostInfo(g_LocalHost, PlatformHostLookup());
    if (IsConnectionActive()) g_View.FollowNewest = 1;
    RepaintMainWindow(window);
    RefreshStatusBar();
    if (IsConnectionActive()) SetToolbarConnected();
}

void CloseCommand(HWND window) {
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
    using enum CommandAction;
    switch (command->action) {
    case SaveTrace: SaveTraceFileCommand(window); break;
    case LoadTrace: LoadTraceFileCommand(window); break;
    case EndProgram: DestroyWindow(window); break;
    case Repaint: RepaintMainWindow(window); break;
    case ClearTrace: ClearTraceCommand(window); break;
    case ScrollForward: ScrollTraceForward(window); break;
    case ScrollBack: ScrollTraceBack(window); break;
    case JumpToLastLine: JumpCommand(window, true); break;
    case JumpToFirstLine: JumpCommand(window, false); break;
    case InputSendDialog: OpenInputSendDialog(window); break;
    case PresetSendDialog: OpenPresetSendDialog(window); break;
    case MacroDialog: OpenMacroDialog(window); break;
    case PresetEditDialog: OpenPresetEditDialog(window); break;
    case Memo: OpenMemo(window); break;
    case MacroFileEditor: EditMacroFiles(window); break;
    case ConnectionSettings: ConnectionSettingsCommand(window); break;
    case OpenConnection: OpenCommand(window); break;
    case CloseConnection: CloseCommand(window); break;
    case HostName: ShowHostNameMessage(window, g_LocalHost, PlatformHostLookup()); break;
    case EnvironmentDialog: ShowEnvironmentDialog(window); break;
    case DarkModeDialog: DarkModeCommand(window); break;
    case LanguageDialog: LanguageCommand(window); break;
    case ColorDialog: ShowColorDialog(window); break;
    case AboutDialog: ShowAboutDialog(window); break;
    case Manual: OpenManual(window); break;
    case WebPage: OpenWebPage(window); break;
    case ExportTrace: ExportCommand(window); break;
    case CaptureToFile: CaptureCommand(window); break;
    case CaptureFolder: ChooseCaptureFolder(window); RefreshStatusBar(); break;
    }
    return true;
}
