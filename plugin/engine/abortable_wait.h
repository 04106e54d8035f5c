// Waits of a transfer that end early when Cancel sets the abort flag, so that
// a long pause or the wire time of a large message never holds a cancelled
// transfer for more than one short slice.
#pragma once

#include <atomic>
#include <cstdint>

class Clock;

// The longest single sleep inside an abortable wait.
constexpr uint32_t kAbortCheckMilliseconds = 20;

// Sleeps `milliseconds` in slices, looking at `abort` after each. False when
// the abort flag is set at the end (a wait then ends early).
bool SleepUnlessAborted(Clock& clock, uint32_t milliseconds, const std::atomic<bool>& abort);

// The byte-time wait of message preparation (WaitByteTime), in slices: after
// `count` bytes handed over at tick `startTick`, sleeps until they have had
// time to leave the wire at 3125 bytes per second. False when the abort flag
// is set at the end.
bool WaitByteTimeUnlessAborted(Clock& clock, uint32_t count, uint32_t startTick, const std::atomic<bool>& abort);
