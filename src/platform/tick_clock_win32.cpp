#include <windows.h>

#include "platform/tick_clock.h"

namespace {

class WindowsTickClock : public TickClock {
public:
    uint32_t NowMs() const override { return GetTickCount(); }
};

}  // namespace

const TickClock& SystemTickClock() {
    static const WindowsTickClock clock;
    return clock;
}
