// Drives the running program from outside, as a user would, for run.sh and
// the end-to-end tests. Runs under Wine beside the program:
//
//   lvdriver wait  <title> [timeout-ms]   until a top-level window has this title
//   lvdriver close <title> [timeout-ms]   asks the window to close, waits until gone
//
// Exit code 0 on success, 1 on time-out, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND FindTopLevel(const wchar_t* title) { return FindWindowW(nullptr, title); }

bool WaitFor(const wchar_t* title, bool present, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if ((FindTopLevel(title) != nullptr) == present) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

int Usage() {
    std::fwprintf(stderr, L"usage: lvdriver wait|close <title> [timeout-ms]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    std::wstring command = argv[1];
    const wchar_t* title = argv[2];
    DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 10000;
    if (command == L"wait") return WaitFor(title, true, timeout) ? 0 : 1;
    if (command == L"close") {
        HWND window = FindTopLevel(title);
        if (!window) return 1;
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor(title, false, timeout) ? 0 : 1;
    }
    return Usage();
}
