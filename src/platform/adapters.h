// The PC's network adapters as the system reports them, behind an interface
// so that the adapter list can be tested with adapters of the test's choice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Names are kept to this many characters, like the system's own tools.
constexpr size_t kAdapterTextLimit = 511;

struct AdapterInfo {
    std::u16string friendlyName;  // the name the user sees ("Ethernet")
    std::u16string description;   // the hardware's description
    // Text forms of the IPv4 and IPv6 unicast addresses, in the system's
    // order; addresses of other families are left out.
    std::vector<std::u16string> addresses;
};

enum class AdapterQueryStatus {
    Ok,
    QueryFailed,  // the system refused the query; see error
    OutOfMemory,  // the list did not fit into memory
};

struct AdapterQuery {
    AdapterQueryStatus status = AdapterQueryStatus::Ok;
    uint32_t error = 0;             // the system's error code of a failed query
    std::u16string call;            // the system call that failed
    std::vector<AdapterInfo> adapters;  // in the system's order
};

class AdapterSource {
public:
    virtual ~AdapterSource() = default;
    virtual AdapterQuery QueryAdapters() = 0;
};

// GetAdaptersAddresses on Windows, getifaddrs elsewhere.
AdapterSource& PlatformAdapterSource();
