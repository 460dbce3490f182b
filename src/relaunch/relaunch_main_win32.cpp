// relaunch.exe: waits until the program that started it has ended, then
// starts the executable named on its command line from its own folder.
// Used by Lanvisor to restart itself after the dark and light mode changed.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <string>

#include "relaunch/relaunch_target.h"

namespace {

constexpr DWORD kWaitForExitMs = 30000;

DWORD ParentProcessId() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent;
}

// The old process must be gone before the new one reads the files it wrote.
void WaitForParentToEnd() {
    DWORD parent = ParentProcessId();
    if (parent == 0) return;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, parent);
    if (!process) return;  // already ended
    WaitForSingleObject(process, kWaitForExitMs);
    CloseHandle(process);
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return L".";
    std::wstring folder(path, n);
    size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

int Fail(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"relaunch", MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring target = (argv && argc > 1) ? argv[1] : L"";
    if (argv) LocalFree(argv);
    std::u16string_view name(reinterpret_cast<const char16_t*>(target.c_str()), target.size());
    if (!IsRelaunchTarget(name))
        return Fail(L"relaunch.exe starts the program again after a restart.\r\n"
                    L"Give the name of the program file, for example: relaunch.exe Lanvisor.exe");
    WaitForParentToEnd();
    std::wstring folder = OwnFolder();
    std::wstring path = folder + L"\\" + target;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Fail(path + L" was not found. Start it by hand.");
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) return Fail(path + L" could not be started. Start it by hand.");
    return 0;
}
