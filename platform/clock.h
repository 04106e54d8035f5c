// The time seam of the transfer engine: a millisecond tick count (unsigned
// 32-bit, wrapping, like the system's) and a blocking sleep. The engine reads
// time only through a Clock it is given, so tests can run it in virtual time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// Whether `tick` comes after `reference`. Tick counts wrap after 49.7 days;
// compared this way, a tick just past the wrap still counts as later than
// one just before it.
constexpr bool TickIsAfter(uint32_t tick, uint32_t reference) {
    return static_cast<int32_t>(tick - reference) > 0;
}

// The system's clock; one instance for the whole process.
Clock& SystemClock();

// Time that moves only when someone sleeps or advances it. A sleep returns at
// once after adding its length to the tick count, so a transfer that would
// take minutes runs in microseconds. Safe to share between threads.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(uint32_t startTick = 0) : tick_(startTick) {}

    uint32_t TickCount() override { return tick_.load(std::memory_order_acquire); }
    void Sleep(uint32_t milliseconds) override;

    void Advance(uint32_t milliseconds) { tick_.fetch_add(milliseconds, std::memory_order_acq_rel); }
    void SetTick(uint32_t tick) { tick_.store(tick, std::memory_order_release); }

    uint32_t SleepCount() const { return sleeps_.load(std::memory_order_acquire); }
    // Total time slept, which may exceed 32 bits.
    uint64_t TimeSlept() const { return slept_.load(std::memory_order_acquire); }

    // Called after each sleep has advanced the time, on the sleeping thread,
    // with the length slept: lets a test play the other side of a transfer
    // (an instrument replying, a user cancelling) at a chosen moment. Install
    // it before the clock is shared with another thread.
    void SetSleepHook(std::function<void(uint32_t milliseconds)> hook) { hook_ = std::move(hook); }

private:
    std::atomic<uint32_t> tick_;
    std::atomic<uint32_t> sleeps_{0};
    std::atomic<uint64_t> slept_{0};
    std::function<void(uint32_t)> hook_;
};
