// The host's MIDI output: the messages the plug-in sends on the routed port
// go on to a receiver (the port opened for it, or a simulated instrument);
// messages for any other port go nowhere. Nothing is kept.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

#include "plugin/abi/host_interfaces.h"
#include "druvhost/host/counted_object.h"

namespace druvhost {

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

private:
    std::mutex mutex_;
    uint32_t routed_port_ = 0;
    Receiver receiver_;
};

}  // namespace druvhost
