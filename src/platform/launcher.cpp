#include "platform/launcher.h"

#include <atomic>

Launcher& PlatformLauncher();

namespace {

std::atomic<Launcher*> installed{nullptr};

}  // namespace

Launcher& CurrentLauncher() {
    Launcher* l = installed.load();
    return l ? *l : PlatformLauncher();
}

Launcher* SetLauncher(Launcher* launcher) { return installed.exchange(launcher); }
