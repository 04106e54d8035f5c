// Whether the instrument answers: the device's detection request (the
// template the editor page detects with) goes out with the chosen device ID
// and channel, and any SysX that comes back before the deadline counts as an
// answer. The plug-in's own engine prepares and sends the request, so the
// host asks exactly as the page would.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/abi/host_interfaces.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_state.h"

class Clock;
class DRUVDevice;

namespace druvhost {

enum class Detection { Online, Offline, NoProbe, SendFailed };

class DetectionProbe {
public:
    DetectionProbe(const DRUVDevice& device, Clock& clock);
    DetectionProbe(const DetectionProbe&) = delete;
    DetectionProbe& operator=(const DetectionProbe&) = delete;

    // Each whole message from the instrument's port; safe from any thread.
    void OnMessage(const uint8_t* message, size_t size);

    // Sends the request as events on `outPort` through `out` and waits for
    // an answer until the deadline the request's reply size gives.
    Detection Run(IMPMidiOut& out, uint32_t outPort, uint8_t deviceId, uint8_t channel);

private:
    const DRUVDevice& device_;
    Clock& clock_;
    DRUVData data_;
    TransferState state_;
};

const char* DescribeDetection(Detection detection);

}  // namespace druvhost
