// Replies on the MIDI wire: each message leaves at 3125 bytes per second,
// one after the other, the first after the instrument's response delay. A
// message is delivered once its last byte has arrived. Times are in
// milliseconds of the caller's clock (virtual time in tests), kept in
// microseconds inside so that short messages do not round to nothing.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

constexpr uint32_t kWireBytesPerSecond = 3125;

class WireQueue {
public:
    // Queues the replies to a message that arrived at `nowMs`; with `gapMs`,
    // each message after the first starts that long after the previous one
    // left the wire (a musician stepping through patches).
    void Push(const std::vector<Bytes>& messages, uint64_t nowMs, uint32_t delayMs, uint32_t gapMs = 0);
    // The messages whose last byte has arrived by `nowMs`, in order.
    std::vector<Bytes> TakeDue(uint64_t nowMs);
    bool Empty() const;
    // Bytes that have left or are leaving, and when the wire is free again.
    uint64_t BytesQueued() const;
    uint64_t WireFreeAtMicroseconds() const;

private:
    struct Pending {
        Bytes bytes;
        uint64_t arrivesUs;
    };
    mutable std::mutex mutex_;
    std::deque<Pending> pending_;
    uint64_t wireFreeUs_ = 0;
    uint64_t bytesQueued_ = 0;
};

}  // namespace druv::profiles
