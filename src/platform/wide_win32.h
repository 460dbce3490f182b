// The one place where program text (char16_t) meets the Win32 API (wchar_t).
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == 2, "Win32 wide characters are UTF-16 code units");

inline const wchar_t* AsWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* FromWide(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* FromWide(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }

// A terminated copy for calls that need one.
inline std::wstring ToWideString(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}
