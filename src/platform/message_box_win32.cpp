#include <windows.h>

#include "platform/message_box.h"
#include "platform/wide_win32.h"

namespace {

class Win32MessageBox : public MessageBoxHost {
public:
    int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) override {
        std::wstring t = ToWideString(text);
        std::wstring c = ToWideString(caption);
        return MessageBoxW(static_cast<HWND>(owner), t.c_str(), c.c_str(), style);
    }
};

}  // namespace

MessageBoxHost& PlatformMessageBoxHost() {
    static Win32MessageBox host;
    return host;
}
