#include "platform/code_page.h"

#include <windows.h>

#include <climits>

#include "platform/wide_win32.h"

std::u16string AnsiToUtf16(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), AsWide(out.data()), n);
    return out;
}

std::string Utf16ToAnsi(std::u16string_view text, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty() || text.size() > INT_MAX) return {};
    const wchar_t* w = reinterpret_cast<const wchar_t*>(text.data());
    int wn = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, 0, w, wn, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, 0, w, wn, out.data(), n, "?", &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE;
    return out;
}

std::string Utf16ToAnsiNoBestFit(std::u16string_view text, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty() || text.size() > INT_MAX) return {};
    const wchar_t* w = reinterpret_cast<const wchar_t*>(text.data());
    int wn = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, w, wn, nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        std::string out(static_cast<size_t>(n), '\0');
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, w, wn, out.data(), n, "?", &usedDefault);
        if (lossy) *lossy = usedDefault != FALSE;
        return out;
    }
    // UTF-8 as the ANSI code page takes no flags and no default character;
    // it holds every character, so only ill-formed text is lost.
    n = WideCharToMultiByte(CP_THREAD_ACP, WC_ERR_INVALID_CHARS, w, wn, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        if (lossy) *lossy = true;
        return Utf16ToAnsi(text);
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, WC_ERR_INVALID_CHARS, w, wn, out.data(), n, nullptr, nullptr);
    return out;
}

uint8_t CodeToAnsiByte(char16_t code) {
    const wchar_t w = static_cast<wchar_t>(code);
    char bytes[8] = {};
    int n = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, &w, 1, bytes, sizeof bytes, nullptr, nullptr);
    // UTF-8 as the ANSI code page takes no flags.
    if (n <= 0) n = WideCharToMultiByte(CP_THREAD_ACP, 0, &w, 1, bytes, sizeof bytes, nullptr, nullptr);
    return n == 1 ? static_cast<uint8_t>(bytes[0]) : 0;
}
