#include <windows.h>
#include <shellapi.h>

#include "platform/launcher.h"
#include "platform/wide_win32.h"

namespace {

class ShellLauncher : public Launcher {
public:
    intptr_t Open(WindowHandle owner, std::u16string_view file, std::u16string_view parameters,
                  std::u16string_view directory) override {
        std::wstring f = ToWideString(file), p = ToWideString(parameters), d = ToWideString(directory);
        HINSTANCE result = ShellExecuteW(static_cast<HWND>(owner), L"open", f.c_str(), p.empty() ? nullptr : p.c_str(),
                                         d.empty() ? nullptr : d.c_str(), SW_SHOWNORMAL);
        return reinterpret_cast<intptr_t>(result);
    }

    bool RunAsAdministrator(WindowHandle owner, std::u16string_view file) override {
        std::wstring f = ToWideString(file);
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof info;
        info.hwnd = static_cast<HWND>(owner);
        info.lpVerb = L"runas";
        info.lpFile = f.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ShellExecuteExW(&info) != FALSE;
    }
};

}  // namespace

Launcher& PlatformLauncher() {
    static ShellLauncher launcher;
    return launcher;
}
