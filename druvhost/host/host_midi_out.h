// The host's MIDI output: every event the plug-in sends is kept (with a copy
// of its bytes, taken during the call) and the messages for the routed port
// go on to a receiver, for example a simulated instrument.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "plugin/abi/host_interfaces.h"
#include "druvhost/host/counted_object.h"

namespace druvhost {

struct SentMessage {
    MPEvent event;               // as given; its SysX pointer is stale after the call
    std::vector<uint8_t> wire;   // the message as it goes on the wire
    uint32_t countArgument;      // the count passed with the event
};

class HostMidiOut : public IMPMidiOut, public CountedObject {
public:
    using Receiver = std::function<void(const uint8_t* message, size_t size)>;

    HostMidiOut() = default;
    virtual ~HostMidiOut() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Increment(); }
    ULONG STDMETHODCALLTYPE Release() override { return Decrement(); }

    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override;

    // Messages sent to `port` reach `receiver`; set before sending starts.
    void Route(uint32_t port, Receiver receiver);

    std::vector<SentMessage> Sent() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<SentMessage> sent_;
    uint32_t routed_port_ = 0;
    Receiver receiver_;
};

}  // namespace druvhost
