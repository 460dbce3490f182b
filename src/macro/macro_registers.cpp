#include "macro/macro_registers.h"

namespace {

// Bytes are looked at as signed 8-bit values, so bytes from 0x80 up are
// "below" every digit and turn into "0" like any other non-digit.
bool InRange(uint8_t byte, int low, int high) {
    int value = static_cast<int8_t>(byte);
    return value >= low && value <= high;
}

void CountUp(MacroRegister& r, bool hex) {
    if (r.length < 1 || r.length > 255) return;
    const int high = hex ? 0x46 : 0x39;
    auto step = [hex](uint8_t& b) {
        ++b;
        if (hex && b == ':') b = 'A';
    };
    int i = r.length - 1;
    step(r.data[i]);
    while (!InRange(r.data[i], 0x30, high)) {
        r.data[i] = '0';
        if (i == 0) return;  // the carry out of the first byte is dropped
        --i;
        step(r.data[i]);
    }
}

}  // namespace

void IncrementDecimalText(MacroRegister& r) { CountUp(r, false); }

void IncrementHexText(MacroRegister& r) { CountUp(r, true); }

uint8_t XorCheckByte(const MacroRegister& r) {
    uint8_t x = 0;
    int32_t n = r.length < kMacroRegisterBytes ? r.length : kMacroRegisterBytes;
    for (int32_t i = n - 1; i >= 0; --i) x ^= r.data[i];
    return x;
}
