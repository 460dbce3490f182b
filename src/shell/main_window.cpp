#include "shell/main_window.h"

#include "platform/wide_win32.h"
#include "shell/app_settings.h"
#include "shell/local_host_info.h"
#include "shell/program_directory.h"
#include "trace/trace_buffer.h"

HWND g_MainWindow = nullptr;

namespace {

constexpr int kTitleResource = 99;
constexpr int kClassNameResource = 1203;
constexpr int kIconResource = 101;
constexpr size_t kResourceTextCapacity = 100;

wchar_t windowTitle[kResourceTextCapacity];
wchar_t windowClassName[kResourceTextCapacity];

LRESULT OnCreate(HWND window) {
    g_MainWindow = window;
    ComputeProgramDirectory();
    LoadAppSettings(g_Settings);
    if (!AllocateTrace(g_Trace)) return -1;
    RefreshLocalHostInfo(g_LocalHost, PlatformHostLookup());
    ClearTrace(g_Trace);
    return 0;
}

void OnDestroy() {
    SaveAppSettings(g_Settings);
    FreeTrace(g_Trace);
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy();
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
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = windowClassName;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance, int showCommand) {
    if (LoadStringW(instance, kTitleResource, windowTitle, kResourceTextCapacity) == 0)
        lstrcpynW(windowTitle, L"Lanvisor", kResourceTextCapacity);
    if (LoadStringW(instance, kClassNameResource, windowClassName, kResourceTextCapacity) == 0)
        lstrcpynW(windowClassName, L"Lanvisor", kResourceTextCapacity);
    if (!RegisterMainWindowClass(instance)) return nullptr;
    HWND window = CreateWindowExW(0, windowClassName, windowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}
