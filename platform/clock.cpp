#include "platform/clock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <thread>
#endif

namespace {

class RealClock : public Clock {
public:
#ifdef _WIN32
    uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
#else
    uint32_t TickCount() override {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        // Keeping the low 32 bits gives the same wrap-around as the Windows tick count.
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
#endif
};

}  // namespace

Clock& SystemClock() {
    static RealClock clock;
    return clock;
}

void VirtualClock::Sleep(uint32_t milliseconds) {
    tick_.fetch_add(milliseconds, std::memory_order_acq_rel);
    sleeps_.fetch_add(1, std::memory_order_acq_rel);
    slept_.fetch_add(milliseconds, std::memory_order_acq_rel);
    if (hook_) hook_(milliseconds);
}
