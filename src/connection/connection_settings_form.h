// The connection settings dialog's rules, apart from its controls: how the
// settings fill it, which fields are usable, and how typed values are read
// back into the settings.
#pragma once

#include <cstdint>
#include <string>

#include "common/app_settings.h"

// "1.0", "1.1", "2.0" or "2.2" for the Winsock version setting.
const char16_t* VersionText(int32_t wsaVersion);
// The setting for the version combo's text (its first three characters);
// anything but "1.0", "1.1" and "2.0" means 2.2 (stored as 4).
int32_t WsaVersionFromText(std::u16string_view text);

struct ConnectionFormEnabling {
    bool accessPoint;     // the access-point address and port: for a client
    bool adapterAddress;  // the local address: only when bound (Valid)
    bool adapterPort;     // the local port: for a server, or when bound
};
ConnectionFormEnabling EnablingFor(bool server, bool validBind);

// The controls' contents as typed.
struct ConnectionFormValues {
    std::u16string versionText;
    bool client = true;
    bool tip = true;
    bool autoBind = true;
    std::u16string adapterOctets[4];
    std::u16string adapterPort;
    std::u16string accessOctets[4];
    std::u16string accessPort;
    std::u16string pcName;
    std::u16string group;  // dotted, empty: none
    std::u16string ttl;
};

// The controls' contents for the settings.
ConnectionFormValues FormValuesFrom(const AppSettings& settings);

// Writes the typed values into the settings: numbers from their leading
// digits (an octet from its first 3 characters, a port from its first 5), no
// range check; the PC name cut to 249 characters.
void ReadBackConnectionForm(const ConnectionFormValues& values, AppSettings& settings);

// What OK refuses, as the text number of its message: a group that is not
// empty and not a dotted address in 224.0.0.0/4, or a TTL that is not a
// number 0..255. 0: accepted. The other fields take whatever is typed.
int32_t RefusedGroupField(const ConnectionFormValues& values);

// "getaddrinfo failed: <code>\n" or the resolved address put into the
// access point. Returns 0 or the resolver's code (the message is the caller's).
int32_t ResolvePcNameInto(AppSettings& settings);
