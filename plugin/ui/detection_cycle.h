// Whether the instrument answers: the editor page's side of a detection. A
// cycle is planned, then sent through the engine's detection probe, then
// answered (online) or timed out (offline). The page runs Step from its
// 20-millisecond timer and Start when a setting changes or the user asks.
#pragma once

#include <cstdint>

#include "plugin/engine/transfer_context.h"

class DetectionCycle {
public:
    static constexpr uint32_t kNonePlanned = 0xFFFFFFFFu;

    // Plans a detection for now and runs a step. True when the shown picture
    // must be redrawn.
    bool Start(const TransferContext& context);

    // Sends a planned detection once the instance is free (a transfer holds
    // it back until the step after it), then watches for the reply until the
    // deadline. Only a request really sent is waited for: without a probe
    // template the cycle ends at once as a time-out, and a failed send ends
    // it without a result. Time comes from the store's clock. True when the
    // shown picture must be redrawn.
    bool Step(const TransferContext& context);

    // The page goes away or hides: a detection still waiting frees the
    // instance, so that transfers are not refused for it.
    void Abandon(const TransferContext& context);

    bool Online() const { return online_; }
    bool Waiting() const { return waiting_; }
    uint32_t NextDetection() const { return next_detection_; }

private:
    bool online_ = false;
    bool previous_online_ = false;
    bool waiting_ = false;
    uint32_t next_detection_ = kNonePlanned;
};
