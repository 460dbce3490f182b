#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/host_lookup.h"

namespace {

class WinsockHostLookup : public HostLookup {
public:
    LocalHostLookup LookUpLocalHost() override {
        LocalHostLookup result;
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 0), &data) != 0) return result;
        char host[1026] = {};
        addrinfo* found = nullptr;
        addrinfo hints = {};
        hints.ai_family = AF_INET;
        hints.ai_flags = AI_CANONNAME;
        if (gethostname(host, sizeof host - 1) == 0 && getaddrinfo(host, nullptr, &hints, &found) == 0 && found) {
            char text[1026];
            int length = static_cast<int>(found->ai_addrlen);
            if (getnameinfo(found->ai_addr, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0) {
                result.addressFound = true;
                result.address = text;
            }
            if (getnameinfo(found->ai_addr, length, text, sizeof text, nullptr, 0, NI_NAMEREQD) == 0) {
                result.nameFound = true;
                result.name = text;
            }
            freeaddrinfo(found);
        }
        WSACleanup();
        return result;
    }
};

}  // namespace

HostLookup& PlatformHostLookup() {
    static WinsockHostLookup lookup;
    return lookup;
}
