#include "druvhost/host/host_midi_out.h"

#include "druvhost/host/wire_events.h"

namespace druvhost {

// {6F3C1A52-0B7E-4D21-9C58-2E4A7D90B613}: the host's own name for its output;
// the plug-in never asks for it.
constexpr IID IID_HostMidiOut = {0x6F3C1A52, 0x0B7E, 0x4D21, {0x9C, 0x58, 0x2E, 0x4A, 0x7D, 0x90, 0xB6, 0x13}};

HRESULT HostMidiOut::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_HostMidiOut)) {
        *object = static_cast<IMPMidiOut*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostMidiOut::Send(MPEvent* events, uint32_t count) {
    if (!events && count > 0) return E_POINTER;
    for (uint32_t i = 0; i < count; ++i) {
        Receiver receiver;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (events[i].Port == routed_port_ && routed_port_ != 0) receiver = receiver_;
        }
        if (!receiver) continue;
        const std::vector<uint8_t> wire = EventToWire(events[i]);
        if (!wire.empty()) receiver(wire.data(), wire.size());
    }
    return S_OK;
}

void HostMidiOut::Route(uint32_t port, Receiver receiver) {
    std::lock_guard<std::mutex> lock(mutex_);
    routed_port_ = port;
    receiver_ = std::move(receiver);
}

}  // namespace druvhost
