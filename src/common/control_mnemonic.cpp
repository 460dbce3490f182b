#include "common/control_mnemonic.h"

namespace {

constexpr char kNames[33][3] = {
    "NL", "SH", "SX", "EX", "ET", "EQ", "AK", "BL", "BS", "HT", "LF", "VT", "FF", "CR", "SO", "SI", "DE",
    "D1", "D2", "D3", "D4", "NK", "SN", "EB", "CN", "EM", "SB", "EC", "FS", "GS", "RS", "US", "SP",
};

}  // namespace

int ControlMnemonic(uint8_t code, char16_t (&text)[2]) {
    const char* name = code <= 32 ? kNames[code] : code == 127 ? "DL" : nullptr;
    if (!name) {
        text[0] = code;  // the byte as a Latin-1 code point
        return 1;
    }
    text[0] = static_cast<char16_t>(name[0]);
    text[1] = static_cast<char16_t>(name[1]);
    return 2;
}
