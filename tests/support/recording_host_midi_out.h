// The host's MIDI output as tests use it: every event the plug-in sends is
// kept, with a copy of its bytes taken during the call (the plug-in reuses
// its buffer afterwards), before it goes on as the host's output sends it.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "druvhost/host/host_midi_out.h"

namespace druvhosttest {

struct SentMessage {
    MPEvent event;               // as given; its SysX pointer is stale after the call
    std::vector<uint8_t> wire;   // the message as it goes on the wire
    uint32_t countArgument;      // the count passed with the event
};

class RecordingHostMidiOut : public druvhost::HostMidiOut {
public:
    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override;

    std::vector<SentMessage> Sent() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<SentMessage> sent_;
};

}  // namespace druvhosttest
