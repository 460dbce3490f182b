#include "nettools/address_columns.h"

#include "platform/text.h"

namespace {

constexpr size_t kLookAhead = 4;

bool IsSeparatorAt(std::u16string_view line, size_t at, std::u16string_view separators, bool endSeparates) {
    if (at >= line.size()) return endSeparates;
    return separators.find(line[at]) != std::u16string_view::npos;
}

}  // namespace

void TakeOctetColumns(std::u16string_view line, std::u16string_view separators, bool endSeparates,
                      int32_t (&octets)[4]) {
    size_t at = kAddressColumn;
    for (int32_t& octet : octets) {
        for (size_t k = 0; k < kLookAhead; ++k) {
            if (!IsSeparatorAt(line, at + k, separators, endSeparates)) continue;
            octet = at < line.size() ? LeadingInt(line.substr(at, k)) : 0;
            at += k + 1;
            break;
        }
    }
}
