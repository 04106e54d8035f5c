#include "tests/support/recording_host_midi_out.h"

#include "druvhost/host/wire_events.h"

namespace druvhosttest {

HRESULT RecordingHostMidiOut::Send(MPEvent* events, uint32_t count) {
    if (events != nullptr) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (uint32_t i = 0; i < count; ++i)
            sent_.push_back(SentMessage{events[i], druvhost::EventToWire(events[i]), count});
    }
    return HostMidiOut::Send(events, count);
}

std::vector<SentMessage> RecordingHostMidiOut::Sent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

void RecordingHostMidiOut::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.clear();
}

}  // namespace druvhosttest
