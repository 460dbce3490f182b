// What the local host calls itself: the first IPv4 address of its own name,
// and the name that address resolves back to.
#pragma once

#include <string>

struct LocalHostLookup {
    bool addressFound = false;
    std::string address;  // dotted decimal, in the ANSI code page
    bool nameFound = false;
    std::string name;  // in the ANSI code page
};

class HostLookup {
public:
    virtual ~HostLookup() = default;
    // Starts and ends the socket library itself; never reports an error,
    // it only leaves the found flags false.
    virtual LocalHostLookup LookUpLocalHost() = 0;
};

HostLookup& PlatformHostLookup();
