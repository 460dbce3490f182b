#include "shell/main_window.h"

#include <commctrl.h>

#include "appearance/color_scheme.h"
#include "appearance/dark_mode.h"
#include "appearance/dialog_painting_win32.h"
#include "appearance/gdi_colors_win32.h"
#include "appearance/trace_fonts_win32.h"
#include "common/app_settings.h"
#include "common/file_dialog_win32.h"
#include "common/program_directory.h"
#include "common/text_table.h"
#include "connection/connect_wait_window.h"
#include "connection/connection.h"
#include "platform/host_lookup.h"
#include "platform/wide_win32.h"
#include "resources/resource_ids.h"
#include "sending/line_entry.h"
#include "shell/command_dispatch.h"
#include "shell/command_table.h"
#include "shell/local_host_info.h"
#include "shell/menu_bar_window.h"
#include "shell/status_bar_window.h"
#include "shell/toolbar_window.h"
#include "trace/export_commands.h"
#include "trace/trace_buffer.h"
#include "trace/trace_drawing.h"
#include "trace/trace_view.h"
#include "trace/trace_view_state.h"

HWND g_MainWindow = nullptr;
HINSTANCE g_Instance = nullptr;

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr size_t kResourceTextCapacity = 100;
constexpr int kToolbarHeight = 24;    // kept clear when only the trace is repainted
constexpr int kStatusBarHeight = 20;

wchar_t windowTitle[kResourceTextCapacity];
wchar_t windowClassName[kResourceTextCapacity];
char16_t tooltipText[kAppTextCapacity];  // one buffer for every toolbar tooltip

// The creation sequence. Returns -1 to abandon the window.
LRESULT OnCreate(HWND window) {
    g_MainWindow = window;
    ComputeProgramDirectory();
    LoadAppSettings(g_Settings);
    LoadTextTable(g_Texts);
    if (!AllocateTrace(g_Trace)) {
        ShowAppMessage(window, kTextOutOfMemoryForLog, kAppMessageOk, u"CreateFile");
        return -1;
    }
    CreateTraceFonts(window);
    MeasureTraceFonts(window);
    LoadColorScheme(g_Colors);
    BuildActiveColors();
    if (g_Appearance.DarkMode) ApplyTitleBarMode(window);
    if (!g_Appearance.NoMenuBar) BuildMenuBar(window);
    CreateMainToolbar(window);
    CreateStatusBar(window);
    RefreshLocalHostInfo(g_LocalHost, PlatformHostLookup());
    InstallConnectWaitWindow();
    InstallFileDialogHost();
    ClearTraceAndView(g_Trace, g_View);
    ClearLineTable(g_SendHistory);
    g_View.FollowNewest = 1;
    ResumeCapture(window);
    SetTimer(window, kRefreshTimer, static_cast<UINT>(g_Settings.RefreshPeriodMs), nullptr);
    ForwardSizeToStatusBar(0, 0);
    return 0;
}

// The shutdown sequence: settings first, then the connection, then what the
// window made. The trace stays while a receive thread may still use it (a
// close the user declined or that failed); the process end frees it then.
void OnDestroy(HWND window) {
    KillTimer(window, kRefreshTimer);
    SaveAppSettings(g_Settings);
    if (IsConnectionActive()) CloseConnection(window);
    EndCapture();
    DeleteTraceFonts();
    DeleteActiveColors();
    if (!IsConnectionActive()) FreeTrace(g_Trace);
    PostQuitMessage(0);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintTraceWindow(window, dc);
    EndPaint(window, &ps);
    // Once the user looks at a closed trace, the scroll commands take over.
    if (!IsConnectionActive()) g_View.FollowNewest = 0;
    RefreshStatusBar();
}

LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = g_Gdi.Brushes[kWindowBack];
    FillRect(dc, &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
}

void OnTimer(HWND window, UINT_PTR id) {
    if (id != kRefreshTimer) return;
    // The capture writes on every tick, so a closed connection's last blocks
    // reach the file too.
    if (!CaptureTick(window)) RefreshStatusBar();
    if (!IsConnectionActive()) return;
    StampPendingTrailer(g_Trace);
    if (TraceCount(g_Trace) == g_Trace.View.DrawnCount) RedrawPendingStampWindow(window);
    else DrawNewCellsWindow(window);
}

LRESULT OnKeyDown(HWND window, WPARAM key) {
    if (key == VK_PRIOR) ScrollTraceForward(window);
    else if (key == VK_NEXT) ScrollTraceBack(window);
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

void OnInitMenuPopup(HMENU menu) {
    bool open = IsConnectionActive();
    for (const CommandEntry& command : Commands()) {
        UINT state = IsCommandEnabled(command.menuId, open) ? MF_ENABLED : MF_GRAYED;
        EnableMenuItem(menu, command.menuId, MF_BYCOMMAND | state);
        if (command.action == CommandAction::CaptureToFile)
            CheckMenuItem(menu, command.menuId, MF_BYCOMMAND | (g_Capture.IsOn() ? MF_CHECKED : MF_UNCHECKED));
    }
    if (open) SetToolbarConnected();
    else SetToolbarDisconnected();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_SIZE:
        ForwardSizeToStatusBar(wParam, lParam);
        ForwardSizeToToolbar();
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_DRAWITEM:
        return DrawStatusBarItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_TIMER:
        OnTimer(window, wParam);
        return 0;
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam);
    case WM_NOTIFY:
        return OnNotify(lParam);
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        if (RunMainCommand(window, LOWORD(wParam))) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(window);
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

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    g_Instance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    LoadResourceText(instance, IDS_WINDOW_TITLE, windowTitle);
    LoadResourceText(instance, IDS_WINDOW_CLASS, windowClassName);
    if (!RegisterMainWindowClass(instance)) return nullptr;
    HWND window = CreateWindowExW(0, windowClassName, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
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
