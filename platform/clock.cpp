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
    // Milliseconds of the performance counter, wrapping like GetTickCount.
    // GetTickCount itself advances in steps of 10 to 16 ms (and under Wine
    // stands still and jumps), so a byte-time wait measured with it could end
    // at once and hand short messages over faster than the wire carries them.
    uint32_t TickCount() override {
        static const int64_t frequency = [] {
            LARGE_INTEGER value;
            QueryPerformanceFrequency(&value);
            return value.QuadPart;
        }();
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const int64_t count = now.QuadPart;
        return static_cast<uint32_t>(count / frequency * 1000 + count % frequency * 1000 / frequency);
    }
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
