#include "platform/message_box.h"

#include <atomic>

namespace {

std::atomic<MessageBoxHost*> installedHost{nullptr};

}  // namespace

int ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) {
    MessageBoxHost* host = installedHost.load();
    return (host ? *host : PlatformMessageBoxHost()).Show(owner, text, caption, style);
}

MessageBoxHost* SetMessageBoxHost(MessageBoxHost* host) { return installedHost.exchange(host); }

int UnattendedAnswer(uint32_t style) { return (style & 0xF) == kMbYesNo ? kIdYes : kIdOk; }
