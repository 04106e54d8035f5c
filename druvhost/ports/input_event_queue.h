// What an input's system callback hands to the port's own thread: the
// callback may do next to nothing, so it only records the event here and
// wakes the thread, which does the real work (joining SysX pieces, calling
// the sink, giving buffers back to the system).
//
// The queue never grows: its room is set when it is made. Short messages are
// dropped, and counted, once `shortLimit` events wait; events that return an
// input buffer always fit (there are never more of them than buffers), since
// losing one would lose the buffer for good.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace druvhost {

struct InputEvent {
    enum class Kind {
        kShort,        // `packed`: a short message as the system packs it
        kBrokenShort,  // the system received an invalid short message
        kBuffer,       // `buffer`: an input buffer came back with data
        kBrokenBuffer  // `buffer`: came back holding a broken SysX message
    };
    Kind kind = Kind::kShort;
    uint32_t packed = 0;
    size_t buffer = 0;  // the index of the buffer among the port's buffers
};

class InputEventQueue {
public:
    InputEventQueue(size_t shortLimit, size_t bufferCount);

    // Never blocks for long: safe from a system callback. False when the
    // event was dropped for want of room.
    bool Push(const InputEvent& event);

    // The oldest event, or nothing when none came within `timeout` or the
    // queue is closed.
    std::optional<InputEvent> Pop(std::chrono::milliseconds timeout);

    // From now on Push takes nothing and Pop returns at once: the input is
    // stopping, and its thread must not wait out a timeout to notice.
    void Close();

    size_t DroppedCount() const;

private:
    mutable std::mutex lock_;
    std::condition_variable ready_;
    std::vector<InputEvent> ring_;
    size_t shortLimit_;
    size_t first_ = 0;
    size_t count_ = 0;
    size_t dropped_ = 0;
    bool closed_ = false;
};

}  // namespace druvhost
