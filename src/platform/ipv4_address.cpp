#include "platform/ipv4_address.h"

Ipv4Address Ipv4FromNumbers(const int32_t (&numbers)[4]) {
    Ipv4Address address;
    for (int i = 0; i < 4; ++i) address.octets[i] = static_cast<uint8_t>(numbers[i]);
    return address;
}

namespace {

template <class Number>
std::string Dotted(const Number (&numbers)[4]) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i) text += '.';
        text += std::to_string(numbers[i]);
    }
    return text;
}

}  // namespace

std::string DottedText(const Ipv4Address& address) { return Dotted(address.octets); }

std::string DottedText(const int32_t (&numbers)[4]) { return Dotted(numbers); }
