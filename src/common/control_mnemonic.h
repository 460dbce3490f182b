// How a byte shows in a character row: the two-letter name of a control
// byte (0..32 and 127), otherwise the character with the byte's code.
#pragma once

#include <cstdint>

// Writes one or two characters into text and returns how many.
int ControlMnemonic(uint8_t code, char16_t (&text)[2]);
