#include "platform/ipv4_address.h"

Ipv4Address Ipv4FromNumbers(const int32_t (&numbers)[4]) {
    Ipv4Address address;
    for (int i = 0; i < 4; ++i) address.octets[i] = static_cast<uint8_t>(numbers[i]);
    return address;
}

std::string DottedText(const Ipv4Address& address) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i) text += '.';
        text += std::to_string(address.octets[i]);
    }
    return text;
}
