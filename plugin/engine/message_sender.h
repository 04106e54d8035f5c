// Outgoing messages: template byte strings and stored dumps cut into MIDI
// messages, prepared (device ID, loop values, address, checksum) and handed
// to the host's output, paced to the wire.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/byte_string.h"
#include "plugin/abi/host_interfaces.h"
#include "plugin/abi/mp_event.h"
#include "plugin/engine/transfer_context.h"

class Clock;
class DRUVTemplate;
struct TransferState;

// Byte values with a meaning of their own in template byte strings.
constexpr uint8_t kSysXStart = 0xF0;
constexpr uint8_t kSysXEnd = 0xF7;
constexpr uint8_t kPauseCommand = 0xF3;  // followed by the pause in tenths of a second

// A status byte of a channel message: 80 to EF.
constexpr bool IsChannelStatus(uint8_t status) { return status >= 0x80 && status <= 0xEF; }

// The host's type code of a channel message with status byte `status` (80 to
// EF) and the number of data bytes that follow it (1 or 2).
uint32_t ChannelEventType(uint8_t status, int* dataBytes);

// Sends `bytes` message by message: SysX messages and channel messages go to
// `out`, F3 pauses sleep (ending early on Cancel), bytes before the first
// status byte are ignored.
// Without a template there is no checksum, no delay and the F1/F2
// placeholders stay. True when the whole string was sent; false when the
// abort flag stopped it (after the current message), a channel message lacks
// its data bytes, no memory could be had for a message copy, or `out` is null.
bool SendMessageList(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                     const uint8_t* bytes, size_t length);
bool SendMessageList(const TransferContext& context, IMPMidiOut* out, const DRUVTemplate* dumpTemplate,
                     const ByteString& bytes);

// Where an outgoing SysX message comes from, which decides how it is prepared.
enum class SysXSource {
    // The template's own byte strings (requests, transmit strings): device
    // ID, loop value, outer loop value, address, then the checksum of the
    // request rule (or the dump's rule when the template has none).
    TemplateString,
    // A stored dump replayed: device ID, loop value, then the dump's rule.
    // Its address and outer value are the instrument's own and stay.
    StoredDump,
};

// Prepares a SysX message (position 0 is F0) in place for the current loop.
void PrepareSysX(const TransferContext& context, const DRUVTemplate* dumpTemplate, SysXSource source,
                 uint8_t* message, uint32_t length);

// A prepared copy of the SysX message `message` (starting with F0); null
// when no memory can be had.
std::unique_ptr<uint8_t[]> PreparedSysXCopy(const TransferContext& context, const DRUVTemplate* dumpTemplate,
                                            SysXSource source, const uint8_t* message, uint32_t length);

// One SysX message of a template's byte strings copied, prepared and sent
// with SendSysX. The source is never changed. False when no memory can be
// had for the copy (nothing is sent then).
bool SendSysXMessage(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                     const uint8_t* message, uint32_t length);

// One channel message: `bytes` starts at its status byte and `available`
// bytes of the source follow from there, the status byte included. The data
// bytes get the loop value, lose their top bit and go out in one event. False
// (nothing sent) when the source ends before the message's data bytes.
bool SendChannelMessage(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                        const uint8_t* bytes, size_t available);

// SendChannelMessage, then the pause between messages. False after a failed
// send or when Cancel has asked the transfer to stop.
bool SendChannelMessageAndPause(const TransferContext& context, IMPMidiOut& out, const DRUVTemplate* dumpTemplate,
                                const uint8_t* bytes, size_t available);

// Sleeps the template's DelayBetweenSysX, if it has one and it is above 0,
// ending early when Cancel sets the abort flag.
void PauseBetweenMessages(const TransferContext& context, const DRUVTemplate* dumpTemplate);

// Whether Cancel has asked the running transfer to stop.
bool AbortRequested(const TransferState& state);

// A cleared event with the port, the channel for status byte `status` and the
// plug-in's routing value.
void PrepareEvent(const TransferContext& context, uint8_t status, MPEvent& event);

// Puts the store's DeviceId at the device's SysXChanOfs of a prepared SysX
// message (position 0 is F0): the whole byte when SysXChanMax is above 15,
// else its low four bits. Nothing happens for an offset of 0 or one outside
// the message.
void InsertDeviceId(const TransferContext& context, uint8_t* message, uint32_t length);

// Replaces the F1/F2 placeholders among `count` bytes by the parts of the
// current loop value, in the template's LoopValFormat.
void InsertLoopValue(const TransferState& state, const DRUVTemplate* dumpTemplate, uint8_t* bytes, uint32_t count);

// Hand-over of the prepared message in `event` (already given port and
// channel). Gives the tick count at the hand-over, from which the byte-time
// wait counts.
uint32_t HandOverSysX(const TransferContext& context, IMPMidiOut& out, MPEvent& event, uint8_t* message,
                      uint32_t length);

// HandOverSysX, then the byte-time wait.
void SendSysX(const TransferContext& context, IMPMidiOut& out, MPEvent& event, uint8_t* message, uint32_t length);

// Waits until `count` bytes handed over at tick `startTick` have had time to
// leave the wire at 3125 bytes per second.
void WaitByteTime(Clock& clock, uint32_t count, uint32_t startTick);
