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

bool ParseDottedText(std::u16string_view text, Ipv4Address& address) {
    Ipv4Address parsed;
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (at >= text.size() || text[at++] != u'.')) return false;
        size_t digits = 0;
        int value = 0;
        for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9' && digits < 4; ++at, ++digits)
            value = value * 10 + (text[at] - u'0');
        if (digits == 0 || digits > 3 || value > 255) return false;
        parsed.octets[i] = static_cast<uint8_t>(value);
    }
    if (at != text.size()) return false;
    address = parsed;
    return true;
}
