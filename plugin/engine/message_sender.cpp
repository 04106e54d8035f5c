#include "plugin/engine/message_sender.h"

#include <cstring>
#include <memory>
#include <new>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/checksum.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/item_loops.h"
#include "plugin/engine/loop_fields.h"
#include "plugin/engine/loop_value.h"
#include "plugin/engine/message_walk.h"
#include "plugin/engine/template_checksums.h"
#include "plugin/engine/transfer_state.h"

namespace {

bool StartsMessage(uint8_t byte) { return (byte >= 0x80 && byte <= kSysXStart) || byte == kPauseCommand; }

constexpr uint32_t kPauseUnitMilliseconds = 100;
// The wire carries 3125 bytes per second; the wait ends a little after that
// time (divisor 3000) so the host's queue never runs ahead of the wire.
constexpr uint64_t kWireBytesPerSecond = 3125;
constexpr uint64_t kWaitBytesPerSecond = 3000;

}  // namespace

uint32_t ChannelEventType(uint8_t status, int* dataBytes) {
    *dataBytes = 2;
    switch (status & 0xF0) {
    case 0x80: return MP_EVENT_NOTE_OFF;
    case 0x90: return MP_EVENT_NOTE_ON;
    case 0xA0: return MP_EVENT_KEY_PRESSURE;
    case 0xB0: return MP_EVENT_CONTROL_CHANGE;
    case 0xC0: *dataBytes = 1; return MP_EVENT_PROGRAM_CHANGE;
    case 0xD0: *dataBytes = 1; return MP_EVENT_CHANNEL_PRESSURE;
    case 0xE0: return MP_EVENT_PITCH_BEND;
    default: *dataBytes = 0; return 0;
    }
}

bool AbortRequested(const TransferState& state) { return state.abort.load(std::memory_order_acquire); }

void PauseBetweenMessages(const TransferContext& context, const DRUVTemplate* dumpTemplate) {
    // A negative delay would be a sleep of weeks; it counts as none. The
    // caller looks at the abort flag afterwards, so the result is not needed.
    if (dumpTemplate && dumpTemplate->DelayBetweenSysX() > 0)
        SleepUnlessAborted(context.data.TransferClock(), static_cast<uint32_t>(dumpTemplate->DelayBetweenSysX()),
                           context.state.abort);
}

void PrepareEvent(const TransferContext& context, uint8_t status, MPEvent& event) {
    std::memset(&event, 0, sizeof event);
    event.Port = context.data.OutPort.load(std::memory_order_acquire);
    uint32_t channel = status & 0x0F;
    if (context.device.MidiChannel() != 0 && channel == 0)
        channel = context.data.Channel.load(std::memory_order_acquire) & 0x0F;
    event.Channel = channel;
    event.Routing = kMPEventRoutingPlugIn;
}

void InsertDeviceId(const TransferContext& context, uint8_t* message, uint32_t length) {
    uint32_t offset = static_cast<uint32_t>(context.device.SysXChanOfs());
    if (offset == 0 || offset >= length) return;
    uint8_t id = context.data.DeviceId.load(std::memory_order_acquire);
    if (context.device.SysXChanMax() > 15)
        message[offset] = id;
    else
        message[offset] = static_cast<uint8_t>((message[offset] & 0xF0) | (id & 0x0F));
}

void InsertLoopValue(const TransferState& state, const DRUVTemplate* dumpTemplate, uint8_t* bytes, uint32_t count) {
    if (!dumpTemplate) return;
    ReplaceLoopPlaceholders(dumpTemplate->LoopValFormat(), state.loop_value, bytes, count);
}

void WaitByteTime(Clock& clock, uint32_t count, uint32_t startTick) {
    // 64 bits, so that a message of more than 4 MB is not paced as a short one.
    uint64_t scaled = uint64_t{count} * 1000;
    uint32_t elapsed = clock.TickCount() - startTick;  // wraps with the tick count
    if (elapsed < scaled / kWireBytesPerSecond)
        clock.Sleep(static_cast<uint32_t>(scaled / kWaitBytesPerSecond - elapsed + 1));
}

void PrepareSysX(const TransferContext& context, const DRUVTemplate* dumpTemplate, SysXSource source,
                 uint8_t* message, uint32_t length) {
    InsertDeviceId(context, message, length);
    InsertLoopValue(context.state, dumpTemplate, message, length);
    if (!dumpTemplate) return;
    const int32_t version = context.device.FormatVersion();
    if (source == SysXSource::StoredDump) {
        ApplyChecksum(DumpChecksumRule(*dumpTemplate, version), message, length);
        return;
    }
    const TemplateExtensions& x = dumpTemplate->Extensions();
    const TransferState& state = context.state;
    if (HasOuterLoop(*dumpTemplate))
        WriteOuterLoopValue(x.outerLoopValFormat, state.outer_loop_value, x.outerLoopOfs, message, length);
    WriteLoopAddress(x.addressOfs, x.addressBytes, x.addressStart, x.addressIncDec, state.loop_index, message,
                     length);
    // Last: the checksum covers every value put in before it.
    ApplyChecksum(SentChecksumRule(*dumpTemplate, version), message, length);
}

uint32_t HandOverSysX(const TransferContext& context, IMPMidiOut& out, MPEvent& event, uint8_t* message,
                      uint32_t length) {
    event.Type = MP_EVENT_SYSX;
    event.Length = length - 1;
    event.Data.SysX = message + 1;

    uint32_t start = context.data.TransferClock().TickCount();
    out.Send(&event, 1);
    return start;
}

void SendSysX(const TransferContext& context, IMPMidiOut& out, MPEvent& event, uint8_t* message, uint32_t length) {
    uint32_t start = HandOverSysX(context, out, event, message, length);
    WaitByteTime(context.data.TransferClock(), length, start);
}

std::unique_ptr<uint8_t[]> PreparedSysXCopy(const TransferContext& context, const DRUVTemplate* dumpTemplate,
                                            SysXSource source, const uint8_t* message, uint32_t length) {
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[length]);
    if (!copy) return copy;
    std::memcpy(copy.get(), message, length);
    PrepareSysX(context, dumpTemplate, source, copy.get(), length);
    return copy;
}

bool SendSysXMessage(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                     const uint8_t* message, uint32_t length) {
    if (length == 0) return true;
    std::unique_ptr<uint8_t[]> copy =
        PreparedSysXCopy(context, dumpTemplate, SysXSource::TemplateString, message, length);
    if (!copy) return false;
    MPEvent event;
    PrepareEvent(context, copy[0], event);
    SendSysX(context, out, event, copy.get(), length);
    return true;
}

bool SendChannelMessage(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                        const uint8_t* bytes, size_t available) {
    int dataBytes = 0;
    uint32_t type = available > 0 ? ChannelEventType(bytes[0], &dataBytes) : 0;
    if (type == 0 || available < static_cast<size_t>(1 + dataBytes)) return false;

    MPEvent event;
    PrepareEvent(context, bytes[0], event);
    event.Type = type;
    event.Data.Short[0] = bytes[1];
    event.Data.Short[1] = dataBytes == 2 ? bytes[2] : 0;
    InsertLoopValue(context.state, dumpTemplate, event.Data.Short, 2);
    event.Data.Short[0] &= 0x7F;
    event.Data.Short[1] &= 0x7F;
    out.Send(&event, 1);
    return true;
}

bool SendChannelMessageAndPause(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                                const uint8_t* bytes, size_t available) {
    if (!SendChannelMessage(context, out, dumpTemplate, bytes, available)) return false;
    PauseBetweenMessages(context, dumpTemplate);
    return !AbortRequested(context.state);
}

bool SendMessageList(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                     const uint8_t* bytes, size_t length) {
    if (!out) return false;
    return WalkMessages(bytes, length, StartsMessage, [&](size_t start, size_t end) {
        uint8_t first = bytes[start];
        if (first == kPauseCommand) {
            // A pause of up to 12.7 s ends early on Cancel; as before, the
            // message after it still goes out and the check after that stops.
            if (start + 1 < length)
                SleepUnlessAborted(context.data.TransferClock(), bytes[start + 1] * kPauseUnitMilliseconds,
                                   context.state.abort);
            return WalkStep::Next;
        }
        if (first == kSysXStart) {
            if (!SendSysXMessage(context, *out, dumpTemplate, bytes + start, static_cast<uint32_t>(end - start)))
                return WalkStep::Stop;
            PauseBetweenMessages(context, dumpTemplate);
            return AbortRequested(context.state) ? WalkStep::Stop : WalkStep::Next;
        }
        if (IsChannelStatus(first))
            return SendChannelMessageAndPause(context, *out, dumpTemplate, bytes + start, length - start)
                       ? WalkStep::Next
                       : WalkStep::Stop;
        // F1, F2 or F4 to FF can only stand at the very start; such a string
        // sends nothing.
        return WalkStep::Stay;
    });
}

bool SendMessageList(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                     const ByteString& bytes) {
    return SendMessageList(context, out, dumpTemplate, bytes.data(), bytes.size());
}
