#include "platform/adapters.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

#include "platform/text.h"

namespace {

// Interfaces have no separate friendly name here: the interface name serves
// as both, and the description says what kind of interface it is.
class IfaddrsAdapterSource : public AdapterSource {
public:
    AdapterQuery QueryAdapters() override {
        AdapterQuery query;
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) != 0) {
            query.status = AdapterQueryStatus::QueryFailed;
            query.error = static_cast<uint32_t>(errno);
            query.call = u"getifaddrs";
            return query;
        }
        for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
            if (!entry->ifa_name) continue;
            AdapterInfo& adapter = AdapterNamed(query.adapters, entry);
            char text[INET6_ADDRSTRLEN] = "";
            const sockaddr* address = entry->ifa_addr;
            if (!address) continue;
            const void* raw = nullptr;
            if (address->sa_family == AF_INET) raw = &reinterpret_cast<const sockaddr_in*>(address)->sin_addr;
            else if (address->sa_family == AF_INET6) raw = &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
            if (raw && inet_ntop(address->sa_family, raw, text, sizeof text))
                adapter.addresses.push_back(Utf8ToUtf16(text));
        }
        freeifaddrs(list);
        return query;
    }

private:
    static AdapterInfo& AdapterNamed(std::vector<AdapterInfo>& adapters, const ifaddrs* entry) {
        std::u16string name = Utf8ToUtf16(entry->ifa_name).substr(0, kAdapterTextLimit);
        for (AdapterInfo& adapter : adapters)
            if (adapter.friendlyName == name) return adapter;
        AdapterInfo added;
        added.friendlyName = name;
        added.description = (entry->ifa_flags & IFF_LOOPBACK) ? u"Loopback interface" : u"Network interface";
        adapters.push_back(std::move(added));
        return adapters.back();
    }
};

}  // namespace

AdapterSource& PlatformAdapterSource() {
    static IfaddrsAdapterSource source;
    return source;
}
