#include <chrono>

#include "platform/tick_clock.h"

namespace {

class SteadyTickClock : public TickClock {
public:
    uint32_t NowMs() const override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
};

}  // namespace

const TickClock& SystemTickClock() {
    static const SteadyTickClock clock;
    return clock;
}
