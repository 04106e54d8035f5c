// The detection probe: one request whose answer shows that the instrument is
// there. The editor page reads the flags and the deadline it sets.
#include <atomic>
#include <cstdint>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"

namespace {

// A probe's reply must stay below this many bytes; one rule for whether a
// device can be detected and for which template probes it, so that a page
// never sends a probe that no timer watches.
constexpr uint32_t kDetectBytesLimit = 2000;
constexpr uint32_t kDetectExtraMilliseconds = 200;

// A template whose reply is short enough to probe with: a request, one loop,
// and Size + NumLoops + 1 bytes below the limit (unsigned, so a negative Size
// never suits).
bool HasShortReply(const DRUVTemplate& dumpTemplate) {
    if (dumpTemplate.Request().empty()) return false;
    if (dumpTemplate.NumLoops() != 0 && dumpTemplate.NumLoops() != 1) return false;
    uint32_t bytes = static_cast<uint32_t>(dumpTemplate.Size()) + static_cast<uint32_t>(dumpTemplate.NumLoops()) + 1u;
    return bytes < kDetectBytesLimit;
}

}  // namespace

bool HasDetectTemplate(const DRUVDevice& device) { return FindDetectTemplate(device) != nullptr; }

const DRUVTemplate* FindDetectTemplate(const DRUVDevice& device) {
    const DRUVTemplate* found = nullptr;
    for (size_t i = 0; i < device.TemplateCount(); ++i) {
        const DRUVTemplate& candidate = *device.Template(i);
        if (candidate.Verify() != 0) return &candidate;
        if (HasShortReply(candidate)) found = &candidate;
    }
    return found;
}

DetectStart StartDetect(const TransferContext& context) {
    const DRUVTemplate* probe = FindDetectTemplate(context.device);
    if (!probe) return DetectStart::NoProbe;
    TransferState& state = context.state;
    // A reply that came after an earlier deadline must not answer this request.
    state.reply_seen.store(false, std::memory_order_release);
    if (!BeginActivity(state, Activity::Detecting)) return DetectStart::Busy;
    // The probe asks for the first loop, whatever an earlier transfer left.
    StartItemLoops(state, *probe);
    uint32_t bytes = static_cast<uint32_t>(probe->NumLoops()) + static_cast<uint32_t>(probe->Size()) + 1u;
    state.detect_deadline =
        context.data.TransferClock().TickCount() + bytes * 1000u / 2000u + kDetectExtraMilliseconds;
    if (SendMessageList(context, state.host_link, probe, probe->PreRequest()) &&
        SendMessageList(context, state.host_link, probe, probe->Request()))
        return DetectStart::Sent;
    EndActivity(state, Activity::Detecting);
    return DetectStart::SendFailed;
}
