// The engine wired to a simulated instrument as a host wires a plug-in to
// its MIDI ports: every event the engine hands to the output reaches the
// instrument as one whole message, and the instrument's replies reach the
// input handlers on the instrument's own delivery thread, which stands in for
// the host's MIDI input thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "device/druv_device.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/simulated_instrument.h"
#include "tests/plugin/fakes/recording_midi_out.h"
#include "tests/plugin/fakes/stack_object.h"

class InstrumentLink : public StackObject<IMPMidiOut> {
public:
    virtual ~InstrumentLink() = default;


    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t count) override {
        druv::simulator::SimulatedInstrument* instrument = instrument_.load(std::memory_order_acquire);
        for (uint32_t i = 0; i < count; ++i) {
            SentEvent sent{events[i], {}, 0, count};
            if (events[i].Type == MP_EVENT_SYSX && events[i].Data.SysX)
                sent.sysx.assign(events[i].Data.SysX, events[i].Data.SysX + events[i].Length);
            std::vector<uint8_t> wire = sent.WireBytes();
            if (instrument && !wire.empty()) instrument->Receive(wire);
        }
        return S_OK;
    }

    void Connect(druv::simulator::SimulatedInstrument* instrument) {
        instrument_.store(instrument, std::memory_order_release);
    }

private:
    std::atomic<druv::simulator::SimulatedInstrument*> instrument_{nullptr};
};

// The instrument's output as the host's input thread delivers it: SysX after
// its F0, channel messages packed into 32 bits.
inline druv::simulator::SimulatedInstrument::Sink InputOf(TransferState& state) {
    return [&state](const uint8_t* message, size_t size) {
        if (size == 0) return;
        if (message[0] == 0xF0) {
            OnSysX(state, false, message + 1, static_cast<uint32_t>(size - 1));
            return;
        }
        uint32_t packed = message[0];
        if (size > 1) packed |= uint32_t{message[1]} << 8;
        if (size > 2) packed |= uint32_t{message[2]} << 16;
        OnShortMessage(state, packed);
    };
}
