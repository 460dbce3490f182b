#include "shell/main_window.h"

#include <commctrl.h>

#include "appearance/color_scheme.h"
#include "appearance/dark_mode.h"
#include "appearance/dialog_painting_win32.h"
#include "appearance/gdi_colors_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "common/app_settings.h"
#include "common/file_dialog_win32.h"
#include "common/program_context.h"
#include "common/text_table.h"
#include "platform/host_lookup.h"
#include "platform/tick_clock.h"
#include "platform/wide_win32.h"
#include "replies/reply_rules_control.h"
#include "resources/resource_ids.h"
#include "sending/line_entry.h"
#include "shell/command_dispatch.h"
#include "shell/command_table.h"
#include "shell/local_host_info.h"
#include "shell/menu_bar_window.h"
#include "shell/status_bar_window.h"
#include "shell/toolbar_window.h"
#include "trace/trace_drawing.h"
#include "trace/trace_view.h"

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr size_t kResourceTextCapacity = 100;
constexpr int kToolbarHeight = 24;    // kept clear when only the trace is repainted
constexpr int kStatusBarHeight = 20;

wchar_t windowTitle[kResourceTextCapacity];
wchar_t windowClassName[kResourceTextCapacity];
char16_t tooltipText[kAppTextCapacity];  // one buffer for every toolbar tooltip

WindowState* StateOf(HWND window) { return reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// The creation sequence. Returns -1 to abandon the window.
LRESULT OnCreate(HWND window, WindowState& state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    ComputeProgramDirectory();
    LoadAppSettings(state.Settings);
    g_Program.Language = state.Settings.Language;
    LoadTextTable(g_Program.Texts);
    if (!AllocateTrace(state.Engine.Trace)) {
        ShowAppMessage(window, kTextOutOfMemoryForLog, kAppMessageOk, u"CreateFile");
        return -1;
    }
    CreateTraceFonts(window);
    LoadColorScheme(g_Colors);
    BuildActiveColors();
    if (g_Appearance.DarkMode) ApplyTitleBarMode(window);
    if (!g_Appearance.NoMenuBar) BuildMenuBar(window);
    CreateMainToolbar(window);
    CreateStatusBar(window);
    RefreshLocalHostInfo(state.LocalHost, PlatformHostLookup());
    InstallFileDialogHost();
    state.MacroHost.RedrawStamp = [window, &state] {
        RedrawPendingStampWindow(window, state.Engine.Trace, state.View);
    };
    ClearTraceAndView(state.Engine.Trace, state.View);
    state.View.FollowNewest = 1;
    ResumeCapture(window, state.CaptureParts());
    StartReplyRules(state.Replies);
    SetTimer(window, kRefreshTimer, static_cast<UINT>(state.Settings.RefreshPeriodMs), nullptr);
    ForwardSizeToStatusBar(0, 0);
    return 0;
}

// The shutdown sequence: settings first, then the connection, then what the
// window made. The trace stays while a receive thread may still use it (a
// close the user declined or that failed); the process end frees it then.
void OnDestroy(HWND window, WindowState& state) {
    KillTimer(window, kRefreshTimer);
    SaveAppSettings(state.Settings);
    if (state.Connected()) CloseSession(state.Engine, window);
    EndCapture(state.CaptureParts());
    DeleteTraceFonts();
    DeleteActiveColors();
    if (!state.Connected()) FreeTrace(state.Engine.Trace);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    PostQuitMessage(0);
}

void OnPaint(HWND window, WindowState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintTraceWindow(window, dc, state.Engine.Trace, state.View);
    EndPaint(window, &ps);
    // Once the user looks at a closed trace, the scroll commands take over.
    if (!state.Connected()) state.View.FollowNewest = 0;
    RefreshStatusBar(state);
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = g_Gdi.Brushes[kWindowBack];
    FillRect(dc, &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
}

void OnTimer(HWND window, WindowState& state, UINT_PTR id) {
    if (id != kRefreshTimer) return;
    // The capture writes on every tick, so a closed connection's last blocks
    // reach the file too.
    if (!CaptureTick(window, state.CaptureParts())) RefreshStatusBar(state);
    // A rules file that was saved again answers from now on (or says why not).
    if (ReloadChangedRules(state.Replies, SystemTickClock().NowMs())) RefreshStatusBar(state);
    if (!state.Connected()) return;
    TraceBuffer& trace = state.Engine.Trace;
    StampPendingTrailer(trace);
    if (UnreadCount(trace, state.View.Drawn) == 0) RedrawPendingStampWindow(window, trace, state.View);
    else DrawNewCellsWindow(window, trace, state.View);
}

LRESULT OnKeyDown(HWND window, WindowState& state, WPARAM key) {
    if (key == VK_PRIOR) ScrollTraceForward(window, state);
    else if (key == VK_NEXT) ScrollTraceBack(window, state);
    return 0;
}

LRESULT OnNotify(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != TTN_GETDISPINFOW) return 0;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    const CommandEntry* command = FindCommand(static_cast<int>(header->idFrom));
    if (!command || command->toolbarId != static_cast<int>(header->idFrom)) return 0;
    tooltipText[0] = 0;
    GetAppText(command->textNumber, tooltipText);
    info->lpszText = AsWide(tooltipText);
    return 0;
}

// The commands that switch something on and off show whether it is on.
bool IsCommandChecked(CommandAction action, const WindowState& state) {
    switch (action) {
    case CommandAction::CaptureToFile: return state.Capture.IsOn();
    case CommandAction::ReplyAutomatically: return state.Engine.Replies.On();
    default: return false;
    }
}

void OnInitMenuPopup(HMENU menu, const WindowState& state) {
    bool open = state.Connected();
    for (const CommandEntry& command : Commands()) {
        UINT enabling = IsCommandEnabled(command.menuId, open) ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(menu, command.menuId, MF_BYCOMMAND | enabling);
        if (command.image == kNoImage)
            CheckMenuItem(menu, command.menuId,
                          MF_BYCOMMAND | (IsCommandChecked(command.action, state) ? MF_CHECKED : MF_UNCHECKED));
    }
    if (open) SetToolbarConnected();
    else SetToolbarDisconnected();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE)
        return OnCreate(window, *static_cast<WindowState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    WindowState* state = StateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        ForwardSizeToStatusBar(wParam, lParam);
        ForwardSizeToToolbar();
        return 0;
    case WM_PAINT:
        OnPaint(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_DRAWITEM:
        return DrawStatusBarItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), *state) ? TRUE : FALSE;
    case WM_TIMER:
        OnTimer(window, *state, wParam);
        return 0;
    case WM_KEYDOWN:
        return OnKeyDown(window, *state, wParam);
    case WM_NOTIFY:
        return OnNotify(lParam);
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), *state);
        return 0;
    case WM_COMMAND:
        if (RunMainCommand(window, *state, LOWORD(wParam))) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(window, *state);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LANVISOR));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_LANVISOR), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = windowClassName;
    return RegisterClassExW(&wc) != 0;
}

void LoadResourceText(HINSTANCE instance, int id, wchar_t (&text)[kResourceTextCapacity]) {
    if (LoadStringW(instance, id, text, kResourceTextCapacity) == 0) lstrcpynW(text, L"Lanvisor", kResourceTextCapacity);
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int showCommand, WindowState& state) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    LoadResourceText(instance, IDS_WINDOW_TITLE, windowTitle);
    LoadResourceText(instance, IDS_WINDOW_CLASS, windowClassName);
    if (!RegisterMainWindowClass(instance)) return nullptr;
    HWND window = CreateWindowExW(0, windowClassName, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, &state);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

void RepaintMainWindow(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void RepaintTraceArea(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    area.top += kToolbarHeight;
    area.bottom -= kStatusBarHeight;
    InvalidateRect(window, &area, TRUE);
    UpdateWindow(window);
}
