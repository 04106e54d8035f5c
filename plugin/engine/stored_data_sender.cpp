#include "plugin/engine/stored_data_sender.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/message_walk.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"

namespace {

// In stored data a message starts at a status byte or at the loop marker; F3
// is a byte of the current message here, not a pause.
bool StartsStoredMessage(uint8_t value) { return (value >= 0x80 && value <= kSysXStart) || value == kLoopMarker; }

// The stored form never changes: the message is prepared in a copy. The
// byte-time wait after it ends early on an abort, so that a cancelled
// transmit does not sit out the wire time of a long dump.
bool ReplaySysX(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                const uint8_t* message, uint32_t length, TransferProgress& progress) {
    std::unique_ptr<uint8_t[]> copy = PreparedSysXCopy(context, dumpTemplate, message, length);
    if (!copy) return false;
    MPEvent event;
    PrepareEvent(context, kSysXStart, event);
    uint32_t start = HandOverSysX(context, dumpTemplate, out, event, copy.get(), length);
    if (!WaitByteTimeUnlessAborted(context.data.TransferClock(), length, start, context.state.abort)) return false;

    progress.Advance(length);
    progress.Update(0);
    PauseBetweenMessages(context, dumpTemplate);
    return !AbortRequested(context.state);
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

    return WalkMessages(bytes, length, StartsStoredMessage, [&](size_t start, size_t end) {
        uint8_t first = bytes[start];
        if (first == kSysXStart)
            return ReplaySysX(context, *out, dumpTemplate, bytes + start, static_cast<uint32_t>(end - start), progress)
                       ? WalkStep::Next
                       : WalkStep::Stop;
        if (first == kLoopMarker) {
            // The end of a stored loop. A failure of these messages does not
            // stop the replay, and there is no abort check here.
            if (dumpTemplate) {
                SendMessageList(context, out, dumpTemplate, dumpTemplate->Transmit());
                context.state.loop_value += dumpTemplate->LoopIncDec();
            }
            return WalkStep::Next;
        }
        if (IsChannelStatus(first))
            return SendChannelMessageAndPause(context, *out, dumpTemplate, bytes + start, length - start)
                       ? WalkStep::Next
                       : WalkStep::Stop;
        // F1 to FE at the very start of the data: nothing is sent.
        return WalkStep::Stay;
    });
}
