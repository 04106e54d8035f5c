#include "plugin/engine/ack_wait.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "device/druv_template.h"
#include "platform/clock.h"
#include "plugin/engine/abortable_wait.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/receive_window.h"
#include "plugin/engine/transfer_progress.h"
#include "plugin/engine/transfer_state.h"

const char kAckRefusedFormat[] = "Error! The instrument refused %s (its answer: %s). Cancelling...";

namespace {

// Short slices: an answer is seen soon after it came, and the last slice
// ends on the deadline itself.
constexpr uint32_t kAckPollMilliseconds = 5;
constexpr uint8_t kAnyByte = 0xFF;

bool MatchesAt(uint8_t pattern, uint8_t value) { return pattern == kAnyByte || pattern == value; }

}  // namespace

bool BeginsLikeAckPattern(const ByteString& pattern, const uint8_t* bytes, uint32_t count) {
    if (pattern.empty() || !bytes || pattern.size() > uint64_t{count} + 1) return false;
    if (!MatchesAt(pattern[0], kSysXStart)) return false;
    for (size_t i = 1; i < pattern.size(); ++i)
        if (!MatchesAt(pattern[i], bytes[i - 1])) return false;
    return true;
}

void OfferAckReply(TransferState& state, const AckPatterns& patterns, const uint8_t* bytes, uint32_t count) {
    // An error reply wins over an acknowledgement it also resembles.
    AckResult none = AckResult::None;
    if (BeginsLikeAckPattern(patterns.error, bytes, count)) {
        if (!state.ack_result.compare_exchange_strong(none, AckResult::Writing, std::memory_order_acq_rel)) return;
        const uint64_t length = uint64_t{count} + 1;
        state.ack_reply[0] = kSysXStart;
        const uint32_t kept = static_cast<uint32_t>(std::min<uint64_t>(length, kAckReplyBytes));
        std::memcpy(state.ack_reply + 1, bytes, kept - 1);
        state.ack_reply_length = static_cast<uint32_t>(std::min<uint64_t>(length, UINT32_MAX));
        state.ack_result.store(AckResult::Refused, std::memory_order_release);
        return;
    }
    if (BeginsLikeAckPattern(patterns.acknowledge, bytes, count))
        state.ack_result.compare_exchange_strong(none, AckResult::Acknowledged, std::memory_order_acq_rel);
}

AckWait::AckWait(const TransferContext& context, const DRUVTemplate& dumpTemplate) : context_(context) {
    const TemplateExtensions& x = dumpTemplate.Extensions();
    if (x.ackTimeOut <= 0 || (x.ackPattern.empty() && x.ackErrorPattern.empty())) return;
    patterns_.acknowledge = x.ackPattern;
    patterns_.error = x.ackErrorPattern;
    for (ByteString* pattern : {&patterns_.acknowledge, &patterns_.error})
        InsertDeviceId(context_, pattern->data(), static_cast<uint32_t>(pattern->size()));
    timeOut_ = static_cast<uint32_t>(x.ackTimeOut);
    enabled_ = true;
    context_.state.ack_result.store(AckResult::None, std::memory_order_release);
    context_.state.ack_patterns.store(&patterns_, std::memory_order_seq_cst);
}

AckWait::~AckWait() {
    if (enabled_) WithdrawAckPatterns(context_.state);
}

void AckWait::BeginLoop() {
    if (enabled_) context_.state.ack_result.store(AckResult::None, std::memory_order_release);
}

AckOutcome AckWait::Await() {
    if (!enabled_) return AckOutcome::NoAnswer;
    TransferState& state = context_.state;
    Clock& clock = context_.data.TransferClock();
    const uint32_t start = clock.TickCount();
    for (;;) {
        const AckResult result = state.ack_result.load(std::memory_order_acquire);
        if (result == AckResult::Writing) {
            std::this_thread::yield();  // an error reply is being copied: microseconds
            continue;
        }
        if (result == AckResult::Acknowledged) return AckOutcome::Acknowledged;
        if (result == AckResult::Refused) return AckOutcome::Refused;
        const uint32_t elapsed = clock.TickCount() - start;
        if (elapsed >= timeOut_) return AckOutcome::NoAnswer;
        if (!SleepUnlessAborted(clock, std::min(kAckPollMilliseconds, timeOut_ - elapsed), state.abort))
            return AckOutcome::Aborted;
    }
}

std::string AckWait::RefusalText(const char* itemName) const {
    const TransferState& state = context_.state;
    const uint32_t kept = std::min(state.ack_reply_length, kAckReplyBytes);
    std::string bytes;
    for (uint32_t i = 0; i < kept; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%2.2X" : " %2.2X", state.ack_reply[i]);
        bytes += hex;
    }
    if (state.ack_reply_length > kept) bytes += " ...";
    char text[kMaxProgressTextLength + 1];
    std::snprintf(text, sizeof text, kAckRefusedFormat, itemName, bytes.c_str());
    return text;
}
