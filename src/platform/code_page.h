// Conversions between UTF-16 and the system's single-byte ("ANSI") code page.
//
// On Windows this is the active code page (CP_ACP). The POSIX backend, used
// by the native build, takes UTF-8 as its ANSI code page, like the Linux
// locales it runs under.
#pragma once

#include <string>
#include <string_view>

std::u16string AnsiToUtf16(std::string_view bytes);

// Characters the code page cannot hold become '?'; lossy (when given) says
// whether that happened.
std::string Utf16ToAnsi(std::u16string_view text, bool* lossy = nullptr);
