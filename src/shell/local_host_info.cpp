#include "shell/local_host_info.h"

#include "common/program_context.h"
#include "platform/code_page.h"
#include "platform/text.h"

void RefreshLocalHostInfo(LocalHostInfo& info, HostLookup& lookup) {
    info = LocalHostInfo{};
    LocalHostLookup found = lookup.LookUpLocalHost();
    if (found.addressFound) CopyTextInto(info.Address, AnsiToUtf16(found.address));
    if (found.nameFound) CopyTextInto(info.Name, AnsiToUtf16(found.name));
}

std::u16string HostNameMessage(const LocalHostInfo& info) {
    char16_t message[kHostMessageCapacity];
    FormatText(message, u"%s\r\n%s", {TextView(info.Address), TextView(info.Name)});
    return std::u16string(TextView(message));
}

void ShowHostNameMessage(void* owner, LocalHostInfo& info, HostLookup& lookup) {
    RefreshLocalHostInfo(info, lookup);
    ShowMessageBox(owner, HostNameMessage(info), u"HostName", kMbOk);
}
