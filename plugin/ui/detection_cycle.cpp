#include "plugin/ui/detection_cycle.h"

#include <atomic>

#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"

bool DetectionCycle::Start(const TransferContext& context) {
    next_detection_ = 0;
    return Step(context);
}

bool DetectionCycle::Step(const TransferContext& context) {
    TransferState& state = context.state;
    const uint32_t now = context.data.TransferClock().TickCount();

    if (next_detection_ != kNonePlanned && now >= next_detection_) {
        // A new request replaces one still waiting, with a deadline of its own.
        if (waiting_) {
            waiting_ = false;
            EndActivity(state, Activity::Detecting);
        }
        switch (StartDetect(context)) {
        case DetectStart::Busy:
            return false;  // planned still: it goes out once the transfer has ended
        case DetectStart::SendFailed:
            next_detection_ = kNonePlanned;
            return false;  // no result: the picture stays as it was
        case DetectStart::NoProbe:
            next_detection_ = kNonePlanned;
            previous_online_ = online_;
            online_ = false;  // nothing can answer: a time-out at once
            return online_ != previous_online_;
        case DetectStart::Sent:
            next_detection_ = kNonePlanned;
            previous_online_ = online_;
            waiting_ = true;
            break;
        }
    }

    if (!waiting_) return false;
    if (TickIsAfter(state.detect_deadline, now)) {
        if (!state.reply_seen.load(std::memory_order_acquire)) return false;
        online_ = true;
        state.reply_seen.store(false, std::memory_order_release);
    } else {
        online_ = false;
    }
    waiting_ = false;
    EndActivity(state, Activity::Detecting);
    return online_ != previous_online_;
}

void DetectionCycle::Abandon(const TransferContext& context) {
    if (!waiting_) return;
    waiting_ = false;
    EndActivity(context.state, Activity::Detecting);
}
