// The address in a list line such as "IP=192.168.0.10 ..." read column by
// column: four octets from column 3 on, each at most three characters
// before its separator.
#pragma once

#include <cstdint>
#include <string_view>

// Column just after "IP=".
constexpr size_t kAddressColumn = 3;

// For each octet in turn, looks at most 4 characters ahead for a separator
// (one of separators, or the end of the line when endSeparates). A separator
// k characters ahead makes the octet the leading number of those k characters
// (0 when k is 0), and the next octet starts just after it. Without one the
// octet keeps its value and the next octet starts at the same place.
void TakeOctetColumns(std::u16string_view line, std::u16string_view separators, bool endSeparates,
                      int32_t (&octets)[4]);
