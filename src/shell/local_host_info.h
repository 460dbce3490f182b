// The machine's own IPv4 address and name, shown by the host-name command.
#pragma once

#include <string>

#include "platform/host_lookup.h"

constexpr size_t kHostAddressCapacity = 66;
constexpr size_t kHostNameCapacity = 64;
constexpr size_t kHostMessageCapacity = 64;

// Both texts read "不明" (unknown) until a lookup fills them.
struct LocalHostInfo {
    char16_t Address[kHostAddressCapacity] = u"不明";
    char16_t Name[kHostNameCapacity] = u"不明";
};

// Starts again from "不明" and fills in what the lookup finds; texts too
// long for their fields are cut.
void RefreshLocalHostInfo(LocalHostInfo& info, HostLookup& lookup);

// The host-name message: address, line break, name, in a 64-unit buffer
// (cut when longer).
std::u16string HostNameMessage(const LocalHostInfo& info);

// The host-name command: refresh, then the "HostName" box.
void ShowHostNameMessage(void* owner, LocalHostInfo& info, HostLookup& lookup);
