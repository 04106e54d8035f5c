#include "plugin/engine/receive_loop.h"

#include <atomic>
#include <cstdio>

#include "device/druv_device.h"
#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/dump_item.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/message_walk.h"
#include "plugin/engine/receive_window.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"

const char kOverrunText[] = "Error receiving SysX. Data Overrun. Cancelling operation.";
const char kMissingBytesFormat[] = "Error, SysX missing bytes (recv=%d request=%d). Cancelling...";
const char kChecksumMismatchFormat[] = "Error: checksum of loop %d does not match";

namespace {

// Whether every SysX message among a loop's stored bytes that the rule fits
// carries the checksum the rule gives.
bool ChecksumsMatch(const ChecksumRule& rule, const uint8_t* bytes, size_t length) {
    return WalkMessages(bytes, length, StartsStoredMessage, [&](size_t start, size_t end) {
        if (bytes[start] != kSysXStart) return WalkStep::Next;
        ChecksumCheck check = CheckChecksum(rule, bytes + start, static_cast<uint32_t>(end - start));
        return check == ChecksumCheck::Invalid ? WalkStep::Stop : WalkStep::Next;
    });
}

class LoopRun {
public:
    explicit LoopRun(ItemReceive& receive)
        : r_(receive),
          t_(receive.dumpTemplate),
          x_(receive.dumpTemplate.Extensions()),
          state_(receive.context.state),
          clock_(receive.context.data.TransferClock()),
          expected_(ExpectedLoopSize(t_, receive.loopCount)) {}

    bool Run() {
        uint8_t* position = state_.write_position.load(std::memory_order_acquire);
        start_ = position;
        uint32_t space = LoopSpace(expected_, position, r_.item.Data() + r_.item.Capacity());
        r_.progress.Update(0);
        deadline_ = clock_.TickCount();
        if (t_.TimeOut()) deadline_ += LoopTimeOutWindow(t_, r_.loopCount);
        state_.input_clock = &clock_;
        OpenReceiveWindow(state_, t_, space);
        if (!SendMessageList(r_.context, state_.host_link, &t_, t_.Request())) {
            CloseReceiveWindow(state_);
            return false;
        }
        return Wait();
    }

private:
    bool Wait() {
        for (bool firstReply = true;;) {
            clock_.Sleep(kReceivePassMilliseconds);
            if (state_.abort.load(std::memory_order_acquire)) {
                CloseReceiveWindow(state_);
                return false;
            }
            // Replies that arrived in time are looked at before the deadline
            // is: a reply stored just before it must not be lost because the
            // pass came a little after it.
            bool expired = t_.TimeOut() && TickIsAfter(clock_.TickCount(), deadline_);
            bool unseen = state_.data_received.load(std::memory_order_acquire);
            if (expired && !unseen && EndOnTimeOut()) return Ended();
            if (state_.terminator_seen.exchange(false, std::memory_order_acq_rel)) {
                Finish(true);
                return Ended();
            }
            if (!unseen) {
                if (QuietGapPassed()) return EndAndUpdate();
                continue;
            }

            state_.data_received.store(false, std::memory_order_release);
            r_.replied = true;
            heard_ = true;
            uint32_t space = state_.space_left.load(std::memory_order_acquire);
            int32_t count = state_.bytes_received.load(std::memory_order_acquire);
            int32_t messages = state_.messages_received.load(std::memory_order_acquire);
            if (space == kReceiveOverrun) return Fail(kOverrunText, count);
            if (x_.unknownLength != 0) {
                // One message of unknown length: its F7 ends the loop.
                if (messages > 0) return EndAndUpdate();
            } else if (firstReply) {
                firstReply = false;
                if (t_.MultiSysX() == 0) {
                    if (count == expected_ - 1 || t_.FixedLength() == 0) return EndAndUpdate();
                    char text[kMaxProgressTextLength + 1];
                    std::snprintf(text, sizeof text, kMissingBytesFormat, count, static_cast<int>(expected_));
                    return Fail(text, count);
                }
            }
            if (count == expected_ - 1) return EndAndUpdate();
            if (x_.endAfterMessages > 0 && messages >= x_.endAfterMessages) return EndAndUpdate();
            if (state_.terminator_seen.exchange(false, std::memory_order_acq_rel)) return EndAndUpdate();
            if (expired && EndOnTimeOut()) return Ended();
            r_.progress.Update(static_cast<uint32_t>(count));
        }
    }

    // EndAfterQuiet milliseconds without a byte since the loop's last one
    // (the time is stamped as each message is stored); only once the loop
    // has heard something, so a manual dump waits for the musician.
    bool QuietGapPassed() const {
        if (x_.endAfterQuiet <= 0 || !heard_) return false;
        uint32_t last = state_.last_input_tick.load(std::memory_order_acquire);
        return clock_.TickCount() - last >= static_cast<uint32_t>(x_.endAfterQuiet);
    }

    // The deadline has passed. Without any reply in the item, a requested
    // loop ends with a lone FF; after a reply, the loop ends with what it has.
    // A manual dump that has had no reply yet waits on.
    bool EndOnTimeOut() {
        bool silent = !r_.replied && !t_.Request().empty() &&
                      state_.space_left.load(std::memory_order_acquire) != 0;
        if (!silent && !r_.replied) return false;
        int32_t count = Finish(state_.space_left.load(std::memory_order_acquire) != 0);
        if (!failed_) r_.progress.Update(static_cast<uint32_t>(silent ? count + 1 : count));
        return true;
    }

    bool EndAndUpdate() {
        int32_t count = Finish(true);
        if (!failed_) r_.progress.Update(static_cast<uint32_t>(count));
        return Ended();
    }

    bool Ended() const { return !failed_; }

    // Closes the window and, when `withMarker`, stores the FF that ends the
    // loop; the loop's bytes and the FF go to Length. Returns the loop's
    // final count: bytes that came in while the pass decided are included,
    // so that Length always matches what the buffer holds. A loop whose
    // checksums do not match fails instead and is not counted.
    int32_t Finish(bool withMarker) {
        CloseReceiveWindow(state_);
        int32_t count = state_.bytes_received.load(std::memory_order_acquire);
        uint8_t* position = state_.write_position.load(std::memory_order_acquire);
        if (r_.verify && position && start_ &&
            !ChecksumsMatch(r_.dumpRule, start_, static_cast<size_t>(position - start_))) {
            char text[kMaxProgressTextLength + 1];
            std::snprintf(text, sizeof text, kChecksumMismatchFormat, static_cast<int>(state_.loop_index) + 1);
            r_.progress.ShowMessage(text, static_cast<uint32_t>(count));
            failed_ = true;
            return count;
        }
        int32_t marker = 0;
        if (withMarker && position && position < r_.item.Data() + r_.item.Capacity()) {
            *position = kLoopMarker;
            state_.write_position.store(position + 1, std::memory_order_release);
            marker = 1;
        }
        r_.item.Length.fetch_add(count + marker, std::memory_order_acq_rel);
        return count;
    }

    bool Fail(const char* text, int32_t count) {
        CloseReceiveWindow(state_);
        r_.progress.ShowMessage(text, static_cast<uint32_t>(count));
        return false;
    }

    ItemReceive& r_;
    const DRUVTemplate& t_;
    const TemplateExtensions& x_;
    TransferState& state_;
    Clock& clock_;
    const int64_t expected_;
    uint32_t deadline_ = 0;
    const uint8_t* start_ = nullptr;  // where the loop's bytes begin
    bool heard_ = false;              // the loop has stored something
    bool failed_ = false;             // a checksum did not match
};

}  // namespace

int64_t ExpectedLoopSize(const DRUVTemplate& dumpTemplate, int32_t loopCount) {
    return int64_t{loopCount == 1 ? dumpTemplate.Size() : dumpTemplate.LoopRecvSize()} + 1;
}

uint32_t LoopTimeOutWindow(const DRUVTemplate& dumpTemplate, int32_t loopCount) {
    // Unsigned 32-bit arithmetic throughout, with NumLoops as stored.
    uint32_t requestLength = static_cast<uint32_t>(dumpTemplate.Request().size());
    if (loopCount == 1) {
        uint32_t bytes = static_cast<uint32_t>(dumpTemplate.Size()) + static_cast<uint32_t>(dumpTemplate.NumLoops()) +
                         requestLength;
        return (bytes * 2000u + 2000u) / 3125u;
    }
    return (static_cast<uint32_t>(dumpTemplate.LoopRecvSize()) + requestLength) * 2000u / 3125u;
}

bool ReceiveLoop(ItemReceive& receive) { return LoopRun(receive).Run(); }
