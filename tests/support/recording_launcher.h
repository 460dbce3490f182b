// A launcher for tests: while one of these lives, every launch of the
// program is recorded here and nothing starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/launcher.h"

class RecordingLauncher : public Launcher {
public:
    struct Launch {
        bool elevated;
        std::u16string file;
        std::u16string parameters;
        std::u16string directory;
    };

    RecordingLauncher();  // installs itself
    ~RecordingLauncher() override;  // puts back the launcher it replaced

    intptr_t Open(WindowHandle owner, std::u16string_view file, std::u16string_view parameters,
                  std::u16string_view directory) override;
    bool RunAsAdministrator(WindowHandle owner, std::u16string_view file) override;

    std::vector<Launch> launches;
    intptr_t openResult = 42;  // success
    bool runAsResult = true;

private:
    Launcher* previous_;
};
