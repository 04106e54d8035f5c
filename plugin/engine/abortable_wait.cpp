#include "plugin/engine/abortable_wait.h"

#include <algorithm>

#include "platform/clock.h"

namespace {

// The same figures as the unsliced byte-time wait: the check uses the wire
// rate, the sleep a slightly lower rate so that it ends after the byte time.
constexpr uint64_t kWireBytesPerSecond = 3125;
constexpr uint64_t kWaitBytesPerSecond = 3000;

}  // namespace

bool SleepUnlessAborted(Clock& clock, uint32_t milliseconds, const std::atomic<bool>& abort) {
    while (milliseconds > 0) {
        if (abort.load(std::memory_order_acquire)) return false;
        uint32_t slice = std::min(milliseconds, kAbortCheckMilliseconds);
        clock.Sleep(slice);
        milliseconds -= slice;
    }
    return !abort.load(std::memory_order_acquire);
}

bool WaitByteTimeUnlessAborted(Clock& clock, uint32_t count, uint32_t startTick, const std::atomic<bool>& abort) {
    uint64_t scaled = uint64_t{count} * 1000;
    uint32_t elapsed = clock.TickCount() - startTick;  // wraps with the tick count
    if (elapsed >= scaled / kWireBytesPerSecond) return !abort.load(std::memory_order_acquire);
    uint64_t wait = scaled / kWaitBytesPerSecond - elapsed + 1;
    return SleepUnlessAborted(clock, static_cast<uint32_t>(std::min<uint64_t>(wait, UINT32_MAX)), abort);
}
