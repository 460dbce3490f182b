#include <winsock2.h>
#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <memory>

#include "platform/adapters.h"
#include "platform/wide_win32.h"

namespace {

// The list can grow between asking for its size and reading it; a few
// rounds cover a change while the query runs.
constexpr int kQueryRounds = 3;
constexpr ULONG kQueryFlags = GAA_FLAG_INCLUDE_PREFIX;

struct FreeBuffer {
    void operator()(void* p) const { std::free(p); }
};

std::u16string KeptText(const wchar_t* text) {
    if (!text) return {};
    std::u16string kept(FromWide(text));
    if (kept.size() > kAdapterTextLimit) kept.resize(kAdapterTextLimit);
    return kept;
}

bool AddressText(const SOCKET_ADDRESS& address, std::u16string& text) {
    const sockaddr* raw = address.lpSockaddr;
    if (!raw) return false;
    const void* bytes = nullptr;
    if (raw->sa_family == AF_INET) bytes = &reinterpret_cast<const sockaddr_in*>(raw)->sin_addr;
    else if (raw->sa_family == AF_INET6) bytes = &reinterpret_cast<const sockaddr_in6*>(raw)->sin6_addr;
    else return false;
    char ansi[INET6_ADDRSTRLEN] = "";
    if (!inet_ntop(raw->sa_family, const_cast<void*>(bytes), ansi, sizeof ansi)) return false;
    text.assign(ansi, ansi + std::char_traits<char>::length(ansi));  // digits, dots and colons only
    return true;
}

AdapterQuery Failed(AdapterQueryStatus status, uint32_t error) {
    AdapterQuery query;
    query.status = status;
    query.error = error;
    query.call = u"GetAdaptersAddresses";
    return query;
}

class IpHelperAdapterSource : public AdapterSource {
public:
    AdapterQuery QueryAdapters() override {
        ULONG size = 0;
        ULONG result = GetAdaptersAddresses(AF_UNSPEC, kQueryFlags, nullptr, nullptr, &size);
        if (result == ERROR_NO_DATA) return {};
        std::unique_ptr<void, FreeBuffer> buffer;
        for (int round = 0; round < kQueryRounds && result == ERROR_BUFFER_OVERFLOW; ++round) {
            buffer.reset(std::malloc(size));
            if (!buffer) return Failed(AdapterQueryStatus::OutOfMemory, ERROR_NOT_ENOUGH_MEMORY);
            result = GetAdaptersAddresses(AF_UNSPEC, kQueryFlags, nullptr,
                                          static_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
        }
        if (result == ERROR_NO_DATA) return {};
        if (result != NO_ERROR || !buffer) return Failed(AdapterQueryStatus::QueryFailed, result);

        AdapterQuery query;
        for (auto* a = static_cast<const IP_ADAPTER_ADDRESSES*>(buffer.get()); a; a = a->Next) {
            AdapterInfo adapter;
            adapter.friendlyName = KeptText(a->FriendlyName);
            adapter.description = KeptText(a->Description);
            for (const IP_ADAPTER_UNICAST_ADDRESS* u = a->FirstUnicastAddress; u; u = u->Next) {
                std::u16string text;
                if (AddressText(u->Address, text)) adapter.addresses.push_back(std::move(text));
            }
            query.adapters.push_back(std::move(adapter));
        }
        return query;
    }
};

}  // namespace

AdapterSource& PlatformAdapterSource() {
    static IpHelperAdapterSource source;
    return source;
}
