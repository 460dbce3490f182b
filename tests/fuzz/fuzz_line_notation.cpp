// Fuzzes the line notation: any text parses without writing past the codes
// buffer, and whatever codes come out are written back in a notation that
// reads as the same codes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sending/line_entry.h"
#include "sending/line_notation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the capacity, so short buffers are tried too.
    int32_t capacity = data[0] == 0 ? kLineCodes : data[0] % (kLineCodes + 1);
    std::u16string line;
    for (size_t i = 1; i + 1 < size; i += 2) line.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

    // Exactly capacity slots on the heap, so an overrun is caught.
    auto codes = std::make_unique<char16_t[]>(static_cast<size_t>(capacity));
    int32_t n = ParseLineNotation(line, codes.get(), capacity);
    if (n < 0 || n > capacity) __builtin_trap();

    std::u16string written;
    AppendLineNotation(codes.get(), n, written);
    auto again = std::make_unique<char16_t[]>(kLineCodes);
    int32_t m = ParseLineNotation(written, again.get(), kLineCodes);
    if (m != n) __builtin_trap();
    for (int32_t i = 0; i < n; ++i)
        if (again[i] != codes[i]) __builtin_trap();
    return 0;
}
