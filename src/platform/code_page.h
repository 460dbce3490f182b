// Conversions between UTF-16 and the system's single-byte ("ANSI") code page.
//
// On Windows this is the active code page (CP_ACP). The POSIX backend, used
// by the native build, takes UTF-8 as its ANSI code page, like the Linux
// locales it runs under.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::u16string AnsiToUtf16(std::string_view bytes);

// Characters the code page cannot hold become '?'; lossy (when given) says
// whether that happened.
std::string Utf16ToAnsi(std::u16string_view text, bool* lossy = nullptr);

// For text handed to the system's command interpreter: the calling thread's
// ANSI code page, without best-fit mapping. A character with no exact
// equivalent becomes '?' and sets lossy, instead of turning into a look-alike
// (a fullwidth quotation mark into '"', for example).
std::string Utf16ToAnsiNoBestFit(std::u16string_view text, bool* lossy = nullptr);

// One character as one byte of the calling thread's ANSI code page, without
// best-fit mapping (a character the code page lacks becomes its default
// character). 0 when the character takes more than one byte there.
uint8_t CodeToAnsiByte(char16_t code);
