#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/host_lookup.h"

namespace {

class PosixHostLookup : public HostLookup {
public:
    LocalHostLookup LookUpLocalHost() override {
        LocalHostLookup result;
        char host[1026] = {};
        if (gethostname(host, sizeof host - 1) != 0) return result;
        addrinfo hints = {};
        hints.ai_family = AF_INET;
        hints.ai_flags = AI_CANONNAME;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return result;
        char text[1026];
        if (getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST) == 0) {
            result.addressFound = true;
            result.address = text;
        }
        if (getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NAMEREQD) == 0) {
            result.nameFound = true;
            result.name = text;
        }
        freeaddrinfo(found);
        return result;
    }
};

}  // namespace

HostLookup& PlatformHostLookup() {
    static PosixHostLookup lookup;
    return lookup;
}
