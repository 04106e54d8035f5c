// Whether the instrument answers: the editor page's side of a detection. A
// cycle is planned, then sent through the engine's detection probe, then
// answered (online) or timed out (offline). The page runs Step from its
// 20-millisecond timer and Start when a setting changes or the user asks.
#pragma once

#include <cstdint>

class DRUVData;
class DRUVDevice;

class DetectionCycle {
public:
    static constexpr uint32_t kNonePlanned = 0xFFFFFFFFu;

    // Plans a detection for now and runs a step. True when the shown picture
    // must be redrawn.
    bool Start(DRUVDevice& device, DRUVData& data, bool transferRunning);

    // Sends a planned detection once no transfer runs, then watches the
    // device's detect flags until the reply or the deadline. Time comes from
    // the store's clock. True when the shown picture must be redrawn.
    bool Step(DRUVDevice& device, DRUVData& data, bool transferRunning);

    bool Online() const { return online_; }
    uint32_t NextDetection() const { return next_detection_; }

private:
    bool online_ = false;
    bool previous_online_ = false;
    uint32_t next_detection_ = kNonePlanned;
};
