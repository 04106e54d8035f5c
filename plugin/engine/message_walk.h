// Walking a byte string message by message. Request strings and the replay of
// stored dumps cut their bytes the same way; they differ only in which bytes
// start a message (an F3 pause there, the FF loop marker here) and in what
// each message does.
#pragma once

#include <cstddef>
#include <cstdint>

// In stored dumps a message starts at a status byte (80 to F0) or at the
// loop marker FF; F3 is a byte of the current message there, not a pause.
constexpr bool StartsStoredMessage(uint8_t value) { return (value >= 0x80 && value <= 0xF0) || value == 0xFF; }

enum class WalkStep {
    Next,  // the message is done; the next one starts where it ended
    Stop,  // the walk ends and reports false
    Stay,  // a first byte that starts nothing: the start stays, so nothing after it goes out
};

// Calls `handle(start, end)` for each message of `bytes`: a message starts at
// a byte for which `startsMessage` holds and runs to the next such byte or to
// the end. Bytes before the first status byte belong to no message. False
// when a call answered Stop.
template <typename StartsMessage, typename Handle>
bool WalkMessages(const uint8_t* bytes, size_t length, StartsMessage startsMessage, Handle handle) {
    size_t start = 0;
    for (size_t position = 0; position <= length; ++position) {
        if (position < length && !startsMessage(bytes[position])) continue;
        if (position == 0 || bytes[start] < 0x80) {
            start = position;
            continue;
        }
        WalkStep step = handle(start, position);
        if (step == WalkStep::Stop) return false;
        if (step == WalkStep::Next) start = position;
    }
    return true;
}
