// A simulated instrument wired to the test host's MIDI ports: what the
// plug-in sends on the instrument's output port reaches the instrument, and
// the instrument's replies come back on its input port through the host's
// input thread. A second instrument may stand on the same ports, for a
// transmit to another unit.
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
    // The same with an instrument that differs from the device's definition.
    InstrumentRig(druv::simulator::InstrumentDefinition definition,
                  druv::simulator::SimulatedInstrument::Settings settings, uint32_t outPort, uint32_t inPort);
    // The instruments stop first, then the input thread.
    ~InstrumentRig();
    InstrumentRig(const InstrumentRig&) = delete;
    InstrumentRig& operator=(const InstrumentRig&) = delete;

    druvhost::HostMidiOut& MidiOut() { return midi_out_; }
    druvhost::MidiInputThread& Input() { return input_; }
    druv::simulator::SimulatedInstrument& Instrument() { return *instrument_; }

    // A second instrument of the same definition with its own settings; its
    // replies arrive on the input port too. From now on the output port
    // reaches it instead of the first.
    druv::simulator::SimulatedInstrument& SwitchToSecond(druv::simulator::SimulatedInstrument::Settings settings);
    druv::simulator::SimulatedInstrument* Second() { return second_.get(); }

private:
    std::unique_ptr<druv::simulator::SimulatedInstrument> Wired(
        druv::simulator::InstrumentDefinition definition, druv::simulator::SimulatedInstrument::Settings settings);
    void RouteTo(druv::simulator::SimulatedInstrument* instrument);

    druvhost::HostMidiOut midi_out_;
    druvhost::MidiInputThread input_;
    uint32_t out_port_;
    uint32_t in_port_;
    std::unique_ptr<druv::simulator::SimulatedInstrument> instrument_;
    std::unique_ptr<druv::simulator::SimulatedInstrument> second_;
};

}  // namespace testhost
