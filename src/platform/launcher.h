// Starting other programs and documents by name (the shell's "open" and
// "runas"), behind one interface so that tests can record launches instead
// of starting anything.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/message_box.h"

class Launcher {
public:
    virtual ~Launcher() = default;
    // Opens a file, program or address with its associated program. Returns
    // the shell's result: above 32 on success.
    virtual intptr_t Open(WindowHandle owner, std::u16string_view file, std::u16string_view parameters,
                          std::u16string_view directory) = 0;
    // Starts a file with administrator rights; false when it did not start
    // (including a declined prompt).
    virtual bool RunAsAdministrator(WindowHandle owner, std::u16string_view file) = 0;
};

// The platform's own (ShellExecute on Windows).
Launcher& PlatformLauncher();
