// An IPv4 address as the program holds it everywhere: four octets, the
// leftmost first (as it is written, sent and stored in trace cells).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct Ipv4Address {
    uint8_t octets[4] = {};
    bool operator==(const Ipv4Address&) const = default;
    // 0.0.0.0: every local address when binding.
    bool IsAny() const { return octets[0] == 0 && octets[1] == 0 && octets[2] == 0 && octets[3] == 0; }
    // 224.0.0.0 to 239.255.255.255: a multicast group.
    bool IsMulticast() const { return (octets[0] & 0xF0) == 224; }
};

// The four numbers of a typed address (settings fields, a log line), each
// taken as its low byte, as the socket calls take them.
Ipv4Address Ipv4FromNumbers(const int32_t (&numbers)[4]);

// "a.b.c.d".
std::string DottedText(const Ipv4Address& address);
// Four typed numbers in the same form, as they were typed (a batch file
// writes what the user typed, a log line what it held).
std::string DottedText(const int32_t (&numbers)[4]);

// "a.b.c.d" with four decimal octets of 1 to 3 digits, 0..255, nothing
// around them; false for anything else.
bool ParseDottedText(std::u16string_view text, Ipv4Address& address);
