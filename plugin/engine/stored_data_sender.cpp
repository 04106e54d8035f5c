#include "plugin/engine/stored_data_sender.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/checksum.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_progress.h"

namespace {

// In stored data a message starts at a status byte or at the loop marker; F3
// is a byte of the current message here, not a pause.
bool StartsStoredMessage(uint8_t value) { return (value >= 0x80 && value <= kSysXStart) || value == kLoopMarker; }

// The stored form never changes: the message is prepared in a copy. The
// byte-time wait after it ends early on an abort, so that a cancelled
// transmit does not sit out the wire time of a long dump.
bool ReplaySysX(DRUVDevice& device, const DRUVData& data, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                const uint8_t* message, uint32_t length, TransferProgress& progress) {
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[length]);
    if (!copy) return false;
    std::memcpy(copy.get(), message, length);
    InsertDeviceId(device, data, copy.get(), length);
    InsertLoopValue(device, dumpTemplate, copy.get(), length);
    if (dumpTemplate && dumpTemplate->CSumType() != kChecksumNone) {
        ChecksumRule rule{dumpTemplate->CSumType(), dumpTemplate->CSumStart(), dumpTemplate->CSumLength(),
                          dumpTemplate->CSumOfs()};
        ApplyChecksum(rule, copy.get(), length);
    }

    MPEvent event;
    PrepareEvent(device, data, kSysXStart, event);
    event.Type = MP_EVENT_SYSX;
    event.Length = length - 1;
    event.Data.SysX = copy.get() + 1;
    Clock& clock = data.TransferClock();
    const std::atomic<bool>& abort = device.transfer.abort;
    uint32_t start = clock.TickCount();
    out.Send(&event, 1);
    if (!WaitByteTimeUnlessAborted(clock, length, start, abort)) return false;

    progress.Advance(length);
    progress.Update(0);
    PauseBetweenMessages(device, data, dumpTemplate);
    return !AbortRequested(device);
}

}  // namespace

std::string NoDataText(const DRUVDevice& device, const DRUVTemplate* dumpTemplate) {
    std::string text = device.Company() + " " + device.Product() + " ";
    if (dumpTemplate) text += dumpTemplate->Name() + " ";
    return text + "- No data present.";
}

bool SendStoredData(DRUVDevice& device, const DRUVData& data, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                    const DumpItem& item, TransferProgress& progress) {
    int32_t stored = item.Length.load(std::memory_order_acquire);
    const uint8_t* bytes = item.Data();
    size_t length = bytes && stored > 0 ? std::min<size_t>(static_cast<uint32_t>(stored), item.Capacity()) : 0;
    if (length == 0) {
        progress.ShowMessage(NoDataText(device, dumpTemplate).c_str(), 0);
        return true;
    }
    if (!out) return false;

    size_t start = 0;
    for (size_t position = 0; position <= length; ++position) {
        if (position < length && !StartsStoredMessage(bytes[position])) continue;
        if (position == 0 || bytes[start] < 0x80) {
            start = position;
            continue;
        }
        uint8_t first = bytes[start];
        if (first == kSysXStart) {
            if (!ReplaySysX(device, data, *out, dumpTemplate, bytes + start, static_cast<uint32_t>(position - start),
                            progress))
                return false;
        } else if (first == kLoopMarker) {
            // The end of a stored loop. A failure of these messages does not
            // stop the replay, and there is no abort check here.
            if (dumpTemplate) {
                SendMessageList(device, data, out, dumpTemplate, dumpTemplate->Transmit());
                device.transfer.loop_value += dumpTemplate->LoopIncDec();
            }
        } else if (IsChannelStatus(first)) {
            if (!SendChannelMessageAndPause(device, data, *out, dumpTemplate, bytes + start, length - start))
                return false;
        } else {
            // F1 to FE at the very start of the data: nothing is sent and the
            // start stays, so such data sends nothing.
            continue;
        }
        start = position;
    }
    return true;
}
