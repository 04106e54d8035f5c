// The host's MIDI input thread: messages arriving from an instrument (on any
// thread) are queued, and the input thread hands them in batches to the
// connected plug-in's ProcessEvents, never on the sender's thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "plugin/abi/host_interfaces.h"

namespace druvhost {

class MidiInputThread {
public:
    MidiInputThread();
    // Stops the thread; queued messages are dropped; the filter is released.
    ~MidiInputThread();
    MidiInputThread(const MidiInputThread&) = delete;
    MidiInputThread& operator=(const MidiInputThread&) = delete;

    // Events go to `filter` (one reference held) from now on; null stops
    // delivery. Returns once no batch is being delivered to the old filter.
    void Connect(IMPEventFilter* filter);

    // One whole message that arrived on `port`. Safe from any thread.
    void Deliver(uint32_t port, const uint8_t* message, size_t size);

    // Waits until the queue is empty and no batch is in delivery.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

    uint32_t BatchesDelivered() const;
    uint32_t MessagesDelivered() const;

private:
    struct Arrival {
        uint32_t port;
        std::vector<uint8_t> bytes;
    };

    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Arrival> queue_;
    IMPEventFilter* filter_ = nullptr;
    bool delivering_ = false;
    bool stopping_ = false;
    uint32_t batches_ = 0;
    uint32_t messages_ = 0;
    std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace druvhost
