#include "druvhost/host/detection_probe.h"

#include "platform/clock.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_context.h"
#include "plugin/engine/transfer_engine.h"

namespace druvhost {

DetectionProbe::DetectionProbe(const DRUVDevice& device, Clock& clock) : device_(device), clock_(clock) {
    data_.BuildFrom(device);
    data_.SetTransferClock(clock);
}

void DetectionProbe::OnMessage(const uint8_t* message, size_t size) {
    if (size >= 2 && message[0] == 0xF0) OnSysX(state_, false, message + 1, static_cast<uint32_t>(size - 1));
}

Detection DetectionProbe::Run(IMPMidiOut& out, uint32_t outPort, uint8_t deviceId, uint8_t channel) {
    data_.OutPort = outPort;
    data_.DeviceId = deviceId;
    data_.Channel = channel;
    state_.host_link = &out;
    const TransferContext context{device_, data_, state_};
    switch (StartDetect(context)) {
        case DetectStart::NoProbe: return Detection::NoProbe;
        case DetectStart::SendFailed:
        case DetectStart::Busy: return Detection::SendFailed;
        case DetectStart::Sent: break;
    }
    // The tick counter wraps; the difference tells which side of the deadline
    // now is.
    while (static_cast<int32_t>(state_.detect_deadline - clock_.TickCount()) > 0) {
        if (state_.reply_seen.load(std::memory_order_acquire)) break;
        clock_.Sleep(5);
    }
    const bool answered = state_.reply_seen.load(std::memory_order_acquire);
    EndActivity(state_, Activity::Detecting);
    return answered ? Detection::Online : Detection::Offline;
}

const char* DescribeDetection(Detection detection) {
    switch (detection) {
        case Detection::Online: return "online";
        case Detection::Offline: return "offline";
        case Detection::NoProbe: return "the device has no request to detect it with";
        case Detection::SendFailed: return "the detection request could not be sent";
    }
    return "unknown";
}

}  // namespace druvhost
