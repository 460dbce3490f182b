// The macro registers: 100 byte registers numbered 00..99 that keep their
// contents from one macro run to the next until the program ends, and the
// operations the register commands perform on them.
#pragma once

#include <cstdint>

constexpr int kMacroRegisterCount = 100;
constexpr int32_t kMacroRegisterBytes = 264;
constexpr int32_t kMacroDataMax = 256;  // bytes one data notation or one send may hold

struct MacroRegister {
    int32_t length = 0;  // bytes in use, 0..kMacroRegisterBytes
    uint8_t data[kMacroRegisterBytes] = {};
};

struct MacroRegisters {
    MacroRegister Registers[kMacroRegisterCount];
};

inline bool IsMacroRegisterNumber(int32_t r) { return r >= 0 && r < kMacroRegisterCount; }

// MINC: counts up the decimal text in the register (carry dropped at the
// first byte; a non-digit at a carry position becomes "0" and carries on).
// Registers holding 0 or more than 255 bytes are left alone.
void IncrementDecimalText(MacroRegister& r);
// HINC: the same for upper-case hexadecimal text ("9" steps to "A").
void IncrementHexText(MacroRegister& r);
// XOR of the first `length` bytes (0 for an empty register).
uint8_t XorCheckByte(const MacroRegister& r);
