#include "plugin/ui/detection_cycle.h"

#include <atomic>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"

bool DetectionCycle::Start(DRUVDevice& device, DRUVData& data, bool transferRunning) {
    next_detection_ = 0;
    return Step(device, data, transferRunning);
}

bool DetectionCycle::Step(DRUVDevice& device, DRUVData& data, bool transferRunning) {
    if (transferRunning) return false;
    TransferState& state = device.transfer;
    const uint32_t now = data.TransferClock().TickCount();

    if (next_detection_ != kNonePlanned && now >= next_detection_) {
        previous_online_ = online_;
        // A reply that came after the last deadline must not answer this request.
        state.reply_seen.store(false, std::memory_order_release);
        state.detect_wait.store(true, std::memory_order_release);
        StartDetect(device, &data);
        next_detection_ = kNonePlanned;
    }

    if (!state.detect_wait.load(std::memory_order_acquire)) return false;
    if (TickIsAfter(state.detect_deadline, now)) {
        if (!state.reply_seen.load(std::memory_order_acquire)) return false;
        online_ = true;
        state.reply_seen.store(false, std::memory_order_release);
        state.detect_wait.store(false, std::memory_order_release);
    } else {
        state.detect_wait.store(false, std::memory_order_release);
        online_ = false;
    }
    return online_ != previous_online_;
}
