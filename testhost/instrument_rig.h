// A simulated instrument wired to the test host's MIDI ports: what the
// plug-in sends on the instrument's output port reaches the instrument, and
// the instrument's replies come back on its input port through the host's
// input thread.
#pragma once

#include <cstdint>
#include <memory>

#include "simulator/simulated_instrument.h"
#include "druvhost/host/host_midi_out.h"
#include "druvhost/host/midi_input_thread.h"

class DRUVDevice;

namespace testhost {

class InstrumentRig {
public:
    // `outPort`: the host port whose messages reach the instrument;
    // `inPort`: the host port its replies arrive on.
    InstrumentRig(const DRUVDevice& device, druv::simulator::SimulatedInstrument::Settings settings,
                  uint32_t outPort, uint32_t inPort);
    // The instrument stops first, then the input thread.
    ~InstrumentRig();
    InstrumentRig(const InstrumentRig&) = delete;
    InstrumentRig& operator=(const InstrumentRig&) = delete;

    druvhost::HostMidiOut& MidiOut() { return midi_out_; }
    druvhost::MidiInputThread& Input() { return input_; }
    druv::simulator::SimulatedInstrument& Instrument() { return *instrument_; }

private:
    druvhost::HostMidiOut midi_out_;
    druvhost::MidiInputThread input_;
    std::unique_ptr<druv::simulator::SimulatedInstrument> instrument_;
};

}  // namespace testhost
