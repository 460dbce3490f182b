#include "platform/launcher.h"

namespace {

// The native build starts nothing: it has no shell to hand documents to.
class NoLauncher : public Launcher {
public:
    intptr_t Open(WindowHandle, std::u16string_view, std::u16string_view, std::u16string_view) override { return 2; }
    bool RunAsAdministrator(WindowHandle, std::u16string_view) override { return false; }
};

}  // namespace

Launcher& PlatformLauncher() {
    static NoLauncher launcher;
    return launcher;
}
