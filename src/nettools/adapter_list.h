// The PC's network adapters as list lines: the full lines of the adapter
// search ("IP=<address> :Name=<name> (<description>)") or the bare names
// offered when an address-change batch file is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/adapters.h"
#include "platform/message_box.h"

enum AdapterListMode : int { kAdapterFullLines = 0, kAdapterNamesOnly = 1 };

constexpr size_t kAdapterLineLimit = 255;
constexpr std::u16string_view kAdapterListCaption = u"NetworkAdapter";

// The last IPv4 or IPv6 unicast address; empty without one.
std::u16string AdapterAddressText(const AdapterInfo& adapter);

// The full line, cut to kAdapterLineLimit characters.
std::u16string AdapterLine(const AdapterInfo& adapter);

// Whether the names-only list offers the adapter: not the loopback adapter,
// not the Wi-Fi Direct virtual adapters, and not an adapter without a name
// (a batch file needs the name).
bool OfferedByName(const AdapterInfo& adapter);

// The lines of the list, mode 0 full lines, any other mode names only.
// A failed query gives an empty list and a message; adapters without a name
// are left out of the names-only list with a message that says so.
std::vector<std::u16string> ListAdapters(WindowHandle owner, int mode, AdapterSource& source);
std::vector<std::u16string> ListAdapters(WindowHandle owner, int mode);

// Takes the address of a full line into octets. A line whose address is an
// IPv6 address or empty changes nothing.
void TakeAdapterAddress(std::u16string_view line, int32_t (&octets)[4]);
