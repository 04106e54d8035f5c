#include "plugin/engine/stored_data_sender.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/ack_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/message_walk.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"

namespace {

// The stored form never changes: the message is prepared in a copy. The
// byte-time wait after it ends early on an abort, so that a cancelled
// transmit does not sit out the wire time of a long dump.
bool ReplaySysX(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                const uint8_t* message, uint32_t length, TransferProgress& progress) {
    std::unique_ptr<uint8_t[]> copy = PreparedSysXCopy(context, dumpTemplate, SysXSource::StoredDump, message, length);
    if (!copy) return false;
    MPEvent event;
    PrepareEvent(context, kSysXStart, event);
    uint32_t start = HandOverSysX(context, out, event, copy.get(), length);
    if (!WaitByteTimeUnlessAborted(context.data.TransferClock(), length, start, context.state.abort)) return false;

    progress.Advance(length);
    progress.Update(0);
    PauseBetweenMessages(context, dumpTemplate);
    return !AbortRequested(context.state);
}

// The end of a stored loop: the template's Transmit messages, then, when the
// template asks for it, the instrument's answer. A failure of the Transmit
// messages does not stop the replay; a refusal or a cancelled wait does.
bool EndStoredLoop(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate& dumpTemplate, AckWait& ack,
                   TransferProgress& progress) {
    SendMessageList(context, out, &dumpTemplate, dumpTemplate.Transmit());
    switch (ack.Await()) {
    case AckOutcome::Aborted: return false;
    case AckOutcome::Refused: progress.ShowMessage(ack.RefusalText(progress.Name().c_str()).c_str(), 0); return false;
    case AckOutcome::Acknowledged:
    case AckOutcome::NoAnswer: break;
    }
    StepItemLoop(context.state, dumpTemplate);
    ack.BeginLoop();
    return true;
}

}  // namespace

std::string NoDataText(const DRUVDevice& device, const DRUVTemplate* dumpTemplate) {
    std::string text = device.Company() + " " + device.Product() + " ";
    if (dumpTemplate) text += dumpTemplate->Name() + " ";
    return text + "- No data present.";
}

bool SendStoredData(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                    const DumpItem& item, TransferProgress& progress) {
    int32_t stored = item.Length.load(std::memory_order_acquire);
    const uint8_t* bytes = item.Data();
    size_t length = bytes && stored > 0 ? std::min<size_t>(static_cast<uint32_t>(stored), item.Capacity()) : 0;
    if (length == 0) {
        progress.ShowMessage(NoDataText(context.device, dumpTemplate).c_str(), 0);
        return true;
    }
    if (!out) return false;

    std::unique_ptr<AckWait> ack;
    if (dumpTemplate) ack.reset(new (std::nothrow) AckWait(context, *dumpTemplate));
    if (dumpTemplate && !ack) return false;
    return WalkMessages(bytes, length, StartsStoredMessage, [&](size_t start, size_t end) {
        uint8_t first = bytes[start];
        if (first == kSysXStart)
            return ReplaySysX(context, *out, dumpTemplate, bytes + start, static_cast<uint32_t>(end - start), progress)
                       ? WalkStep::Next
                       : WalkStep::Stop;
        if (first == kLoopMarker) {
            // Without an acknowledgement to wait for there is no abort check here.
            if (!dumpTemplate) return WalkStep::Next;
            return EndStoredLoop(context, out, *dumpTemplate, *ack, progress) ? WalkStep::Next : WalkStep::Stop;
        }
        if (IsChannelStatus(first))
            return SendChannelMessageAndPause(context, *out, dumpTemplate, bytes + start, length - start)
                       ? WalkStep::Next
                       : WalkStep::Stop;
        // F1 to FE at the very start of the data: nothing is sent.
        return WalkStep::Stay;
    });
}
