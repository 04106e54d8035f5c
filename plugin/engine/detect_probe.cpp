// The detection probe: one request whose answer shows that the instrument is
// there. The editor page reads the flags and the deadline it sets.
#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_engine.h"

namespace {

constexpr uint32_t kDetectBytesLimit = 2000;
constexpr uint32_t kDetectExtraMilliseconds = 200;

// A template whose reply is short enough to probe with: a request, one loop,
// and Size + NumLoops + 1 bytes (unsigned, so a negative Size never suits).
bool HasShortReply(const DRUVTemplate& dumpTemplate, uint32_t* bytes) {
    if (dumpTemplate.Request().empty()) return false;
    if (dumpTemplate.NumLoops() != 0 && dumpTemplate.NumLoops() != 1) return false;
    *bytes = static_cast<uint32_t>(dumpTemplate.Size()) + static_cast<uint32_t>(dumpTemplate.NumLoops()) + 1u;
    return true;
}

}  // namespace

// FindDetectTemplate accepts a total of exactly 2000 bytes, HasDetectTemplate
// does not: the page's availability and the probe have always differed there.
bool HasDetectTemplate(const DRUVDevice& device) {
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& candidate = *device.Template(i);
        uint32_t bytes = 0;
        if (candidate.Verify() != 0) return true;
        if (HasShortReply(candidate, &bytes) && bytes < kDetectBytesLimit) return true;
    }
    return false;
}

const DRUVTemplate* FindDetectTemplate(const DRUVDevice& device) {
    const DRUVTemplate* found = nullptr;
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& candidate = *device.Template(i);
        if (candidate.Verify() != 0) return &candidate;
        uint32_t bytes = 0;
        if (HasShortReply(candidate, &bytes) && bytes <= kDetectBytesLimit) found = &candidate;
    }
    return found;
}

bool StartDetect(DRUVDevice& device, DRUVData* data) {
    const DRUVTemplate* probe = FindDetectTemplate(device);
    if (!probe || !data) return false;
    TransferState& state = device.transfer;
    uint32_t bytes = static_cast<uint32_t>(probe->NumLoops()) + static_cast<uint32_t>(probe->Size()) + 1u;
    state.detect_deadline = data->TransferClock().TickCount() + bytes * 1000u / 2000u + kDetectExtraMilliseconds;
    state.detect_wait.store(true, std::memory_order_release);
    if (SendMessageList(device, *data, state.host_link, probe, probe->PreRequest()) &&
        SendMessageList(device, *data, state.host_link, probe, probe->Request()))
        return true;
    state.detect_wait.store(false, std::memory_order_release);
    return false;
}
