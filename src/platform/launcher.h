// Starting other programs and documents by name (the shell's "open" and
// "runas"), behind one interface so that tests can record launches instead
// of starting anything.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Test launcher: records every launch and starts nothing.
class RecordingLauncher : public Launcher {
public:
    struct Launch {
        bool elevated;
        std::u16string file;
        std::u16string parameters;
        std::u16string directory;
    };

    RecordingLauncher();
    ~RecordingLauncher() override;
    intptr_t Open(WindowHandle owner, std::u16string_view file, std::u16string_view parameters,
                  std::u16string_view directory) override;
    bool RunAsAdministrator(WindowHandle owner, std::u16string_view file) override;

    std::vector<Launch> launches;
    intptr_t openResult = 42;  // success
    bool runAsResult = true;

private:
    Launcher* previous_;
};
