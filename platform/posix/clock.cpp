#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace {

class RealClock : public Clock {
public:
    uint32_t TickCount() override {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        // Keeping the low 32 bits gives the same wrap-around as the Windows tick count.
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

Clock& SystemClock() {
    static RealClock clock;
    return clock;
}
