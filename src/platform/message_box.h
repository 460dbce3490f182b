// The message box interface: every box of the program goes through one host
// (see ShowMessageBox), so that tests can see the exact words the user would
// see and answer in their place.
#pragma once

#include <cstdint>
#include <string_view>

using WindowHandle = void*;  // HWND on Windows; nullptr for "no owner"

// Styles and answers have the Win32 values.
enum MessageBoxStyle : uint32_t {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
};
enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

class MessageBoxHost {
public:
    virtual ~MessageBoxHost() = default;
    virtual int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) = 0;
};

// The answer of a box that nobody sees: Yes to a Yes/No question, else OK.
int UnattendedAnswer(uint32_t style);

// The platform's own host (MessageBoxW on Windows, standard error elsewhere).
MessageBoxHost& PlatformMessageBoxHost();
