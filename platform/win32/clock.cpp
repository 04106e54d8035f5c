#include "platform/clock.h"

#include <windows.h>

namespace {

class RealClock : public Clock {
public:
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
};

}  // namespace

Clock& SystemClock() {
    static RealClock clock;
    return clock;
}
