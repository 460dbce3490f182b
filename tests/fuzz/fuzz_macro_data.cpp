// Fuzzes the macro data notation: any text converts without writing past
// the caller's buffer, and the count it reports agrees with what a buffer
// large enough receives.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "macro/macro_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the capacity, so short buffers are tried too.
    int32_t capacity = data[0] % 257;
    std::u16string text;
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));

    auto small = std::make_unique<uint8_t[]>(static_cast<size_t>(capacity) + 1);
    int32_t n = MacroDataToBytes(text, small.get(), capacity);
    // Every character gives at most a few bytes in any code page.
    if (n < 0 || static_cast<size_t>(n) > 4 * kMacroDataTextMax) __builtin_trap();

    auto large = std::make_unique<uint8_t[]>(4 * kMacroDataTextMax);
    int32_t m = MacroDataToBytes(text, large.get(), static_cast<int32_t>(4 * kMacroDataTextMax));
    if (m != n) __builtin_trap();
    int32_t kept = n < capacity ? n : capacity;
    if (kept > 0 && std::memcmp(small.get(), large.get(), static_cast<size_t>(kept)) != 0) __builtin_trap();
    return 0;
}
