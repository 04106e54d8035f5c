// The write acknowledgement of a transmit: after each replayed loop the
// engine waits, up to the template's AckTimeOut, for a message from the
// instrument that begins like its AckPattern (go on) or its AckErrorPattern
// (the instrument refused the loop: the transmit stops and shows the reply).
// No answer within the time counts as going on: units that acknowledge only
// some writes, or an input port that is not chosen, must not stop a
// transmit, and the wait still paces the replay as the unit needs.
//
// The input thread matches incoming SysX against the patterns through the
// transfer state (OfferAckReply); the transfer thread polls the outcome in
// slices of its clock.
#pragma once

#include <cstdint>
#include <string>

#include "device/byte_string.h"
#include "plugin/engine/transfer_context.h"

class DRUVTemplate;
struct TransferState;

// The patterns a transmit waits for, with the device ID put in at
// SysXChanOfs as in every message. Either may be empty (never matches).
struct AckPatterns {
    ByteString acknowledge;
    ByteString error;
};

// Whether a SysX message (`bytes` after its F0) begins like `pattern`, which
// starts at its F0; the pattern byte FF matches any byte.
bool BeginsLikeAckPattern(const ByteString& pattern, const uint8_t* bytes, uint32_t count);

// The input thread's side: the first matching message since the loop began
// decides; an error reply is kept to be shown.
void OfferAckReply(TransferState& state, const AckPatterns& patterns, const uint8_t* bytes, uint32_t count);

enum class AckOutcome { Acknowledged, NoAnswer, Refused, Aborted };

// Shown when the instrument refused a loop: the item's name and the reply's
// bytes. One text, filled by RefusalText.
extern const char kAckRefusedFormat[];

class AckWait {
public:
    // Publishes the template's patterns when it asks for an acknowledgement
    // (AckTimeOut above 0 and a pattern); otherwise stays idle.
    AckWait(const TransferContext& context, const DRUVTemplate& dumpTemplate);
    // Withdraws the patterns and returns once no input handler uses them.
    ~AckWait();
    AckWait(const AckWait&) = delete;
    AckWait& operator=(const AckWait&) = delete;

    bool Enabled() const { return enabled_; }

    // A loop's replay begins: what came before it is forgotten.
    void BeginLoop();

    // Waits up to AckTimeOut milliseconds from now; an answer that arrives on
    // the last millisecond still counts. Aborted when Cancel stops the wait.
    AckOutcome Await();

    // The text for a refusal: kAckRefusedFormat with `itemName` and the
    // reply's bytes in hexadecimal (cut with "..." when it was longer).
    std::string RefusalText(const char* itemName) const;

private:
    const TransferContext& context_;
    AckPatterns patterns_;
    uint32_t timeOut_ = 0;
    bool enabled_ = false;
};
