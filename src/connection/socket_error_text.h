// Message boxes for failed socket calls: the failed call's name, the Winsock
// error code and a short explanation in Japanese (language 0) or English
// (every other language). The texts are fixed in the program; they do not
// come from the language file.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message_box.h"

// One row of an error-text table.
struct SocketErrorText {
    int32_t code;
    std::u16string_view japanese;
    std::u16string_view english;
};

// Caption, looked-up text and box text are each built in a buffer of this
// many units; the longest box text the tables can produce is 126 units.
constexpr size_t kSocketErrorTextCapacity = 128;

// The explanation of a Winsock error code in a language, or "Other errors"
// for a code without a row. callName matters only for 10048 (address in
// use): a connection bound to the adapter (bind_mode 1) gets the two-line
// text asking the user to wait for the port to become free for any call but
// "connect".
std::u16string_view GetSocketErrorText(int32_t language, bool boundToAdapter, int32_t errorCode,
                                       std::u16string_view callName);

// The explanation of a failed shutdown. This has its own wording and rows;
// a code only the main table knows gives "Other errors".
std::u16string_view GetShutdownErrorText(int32_t language, int32_t errorCode);

// Shows "No.<code> :<text>" captioned "<callName>_Error" with an OK button,
// in the program's language. owner is the main window, or nullptr on the
// receive thread.
void ShowSocketErrorCode(WindowHandle owner, std::u16string_view callName, int32_t code, bool boundToAdapter = false);

// The same for the calling thread's last socket error. Call it right after
// the failed call, on the thread that made it: the error is kept per thread
// and the next socket call overwrites it.
void ShowSocketError(WindowHandle owner, std::u16string_view callName, bool boundToAdapter = false);

// Reports a failed shutdown without an owner window. side 1: the user's
// close command ("Shutdown(c)"); side 2: the server's receive thread after a
// client closed ("Shutdown(p)"); any other value: "Shutdown".
void ShowShutdownError(int32_t errorCode, int side);
