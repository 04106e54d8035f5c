#include "platform/clock.h"

void VirtualClock::Sleep(uint32_t milliseconds) {
    tick_.fetch_add(milliseconds, std::memory_order_acq_rel);
    sleeps_.fetch_add(1, std::memory_order_acq_rel);
    slept_.fetch_add(milliseconds, std::memory_order_acq_rel);
    if (hook_) hook_(milliseconds);
}
