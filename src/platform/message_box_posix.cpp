#include <cstdio>

#include "platform/message_box.h"
#include "platform/text.h"

namespace {

// Without a window system the box is printed and answered with its default.
class StderrMessageBox : public MessageBoxHost {
public:
    int Show(WindowHandle, std::u16string_view text, std::u16string_view caption, uint32_t style) override {
        std::fprintf(stderr, "[%s] %s\n", Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(text).c_str());
        return UnattendedAnswer(style);
    }
};

}  // namespace

MessageBoxHost& PlatformMessageBoxHost() {
    static StderrMessageBox host;
    return host;
}
