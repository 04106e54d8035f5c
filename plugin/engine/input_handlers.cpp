// The input handlers: the host's MIDI input thread hands each incoming event
// on the store's input port to them. They copy straight into the item's
// preallocated buffer while a receive loop's window is open, and match SysX
// against a transmit's acknowledgement patterns while it waits for them;
// they allocate nothing and never wait.
#include <atomic>
#include <cstring>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/ack_wait.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/receive_window.h"
#include "plugin/engine/terminator_match.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"

namespace {

enum class Room { Reserved, Full, Overrun };

// Takes `size` bytes of the loop's space and of the buffer for one message.
// A SysX message needs more space than its size (one byte stays for the
// loop's FF) and flags an overrun when it does not fit; a channel message
// needs no more than its size and is dropped silently when it does not fit.
// Space 0 takes nothing and flags nothing; after an overrun nothing is taken
// until the next loop sets the space again.
Room Reserve(TransferState& state, uint32_t size, bool sysx, uint8_t** target) {
    uint32_t space = state.space_left.load(std::memory_order_acquire);
    for (;;) {
        if (space == 0) return Room::Full;
        if (space == kReceiveOverrun) return sysx ? Room::Overrun : Room::Full;
        bool fits = sysx ? space > size : space >= size;
        if (!fits) {
            if (!sysx) return Room::Full;
            if (state.space_left.compare_exchange_weak(space, kReceiveOverrun, std::memory_order_acq_rel))
                return Room::Overrun;
            continue;
        }
        if (state.space_left.compare_exchange_weak(space, space - size, std::memory_order_acq_rel)) break;
    }
    // The space taken above keeps every byte of this stretch inside the buffer.
    *target = state.write_position.fetch_add(size, std::memory_order_acq_rel);
    return Room::Reserved;
}

// The counts and the time first, then the flag: a transfer thread that sees
// the flag set also sees the bytes, the counts and when they came. Only a
// template that ends on a quiet gap needs the time.
void Publish(TransferState& state, const DRUVTemplate& dumpTemplate, uint32_t size, bool wholeSysX) {
    state.bytes_received.fetch_add(static_cast<int32_t>(size), std::memory_order_acq_rel);
    if (wholeSysX) state.messages_received.fetch_add(1, std::memory_order_acq_rel);
    if (dumpTemplate.Extensions().endAfterQuiet > 0 && state.input_clock)
        state.last_input_tick.store(state.input_clock->TickCount(), std::memory_order_release);
    state.data_received.store(true, std::memory_order_release);
}

}  // namespace

void OnSysX(TransferState& state, bool secondKind, const uint8_t* bytes, uint32_t count) {
    if (!bytes) return;
    if (DetectionWaits(state)) {
        // Detection: any SysX of either kind shows that the instrument answers.
        state.reply_seen.store(true, std::memory_order_release);
        return;
    }
    if (secondKind) return;

    InputHandlerScope scope(state);
    const DRUVTemplate* dumpTemplate = scope.OpenTemplate();
    if (!dumpTemplate) {
        // No receive: a transmit may be waiting for the instrument's answer.
        if (const AckPatterns* patterns = scope.AwaitedAck()) OfferAckReply(state, *patterns, bytes, count);
        return;
    }
    if (!state.write_position.load(std::memory_order_acquire)) return;
    if (MatchTerminator(state, *dumpTemplate, false, bytes, count, true)) return;  // ends the loop unstored

    // The message is stored with its F0; a message this long can only overrun.
    uint64_t stored = uint64_t{count} + 1;
    uint32_t size = stored < kReceiveOverrun ? static_cast<uint32_t>(stored) : kReceiveOverrun - 1;
    uint8_t* target = nullptr;
    Room room = Reserve(state, size, true, &target);
    if (room == Room::Full) return;
    if (room == Room::Reserved) {
        target[0] = 0xF0;
        std::memcpy(target + 1, bytes, count);
        Publish(state, *dumpTemplate, size, count > 0 && bytes[count - 1] == kSysXEnd);
    } else {
        state.data_received.store(true, std::memory_order_release);
    }
    MatchTerminator(state, *dumpTemplate, true, bytes, count, true);  // a stored terminator ends the loop after it
}

void OnShortMessage(TransferState& state, uint32_t packed) {
    InputHandlerScope scope(state);
    const DRUVTemplate* dumpTemplate = scope.OpenTemplate();
    if (!dumpTemplate || dumpTemplate->UseMidiChannel() == 0 || !state.write_position.load(std::memory_order_acquire))
        return;

    // Always compared as three bytes; the third is 0 for the one-data-byte kinds.
    const uint8_t message[3] = {static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
                                static_cast<uint8_t>(packed >> 16)};
    if (MatchTerminator(state, *dumpTemplate, false, message, 3, false)) return;

    // Only channel messages are stored, with 7-bit data bytes: a status byte
    // F0 or FF, or a data byte with its top bit set, would break the stored
    // format that a transmit replays.
    uint8_t status = message[0];
    if (IsChannelStatus(status)) {
        uint32_t size = status >= 0xC0 && status <= 0xDF ? 2 : 3;
        uint8_t* target = nullptr;
        if (Reserve(state, size, false, &target) == Room::Reserved) {
            target[0] = status;
            target[1] = message[1] & 0x7F;
            if (size == 3) target[2] = message[2] & 0x7F;
            Publish(state, *dumpTemplate, size, false);
        }
    }
    MatchTerminator(state, *dumpTemplate, true, message, 3, false);
}
