// Millisecond tick count (GetTickCount semantics: unsigned 32-bit, wraps
// after about 49.7 days). Logic takes the clock as a parameter or a record
// field, so tests can drive time by hand.
#pragma once

#include <atomic>
#include <cstdint>

class TickClock {
public:
    virtual ~TickClock() = default;
    virtual uint32_t NowMs() const = 0;
};

// Whether the tick count has come to `dueMs`, across the wrap (for times
// less than about 24 days apart).
inline bool TickReached(uint32_t nowMs, uint32_t dueMs) { return static_cast<int32_t>(nowMs - dueMs) >= 0; }

// The machine's clock.
const TickClock& SystemTickClock();

// A clock that moves only when told to.
class ManualTickClock : public TickClock {
public:
    explicit ManualTickClock(uint32_t start = 0) : now_(start) {}
    uint32_t NowMs() const override { return now_.load(); }
    void Set(uint32_t ms) { now_.store(ms); }
    void Advance(uint32_t ms) { now_.fetch_add(ms); }

private:
    std::atomic<uint32_t> now_;
};
