// The built-in pair of ports "DRUV Simulated Instrument": one input and one
// output wired to a simulated instrument, so that the plug-in can be tried
// without hardware. The instrument answers the requests of the device it is
// given with dumps of its own memory, paced to the MIDI wire, under the
// chosen device ID, and stores the dumps sent to it. Without a device the
// ports exist but nothing answers.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "druvhost/ports/midi_port_system.h"
#include "simulator/simulated_instrument.h"

class DRUVDevice;

namespace druvhost {

constexpr char kSimulatedPortName[] = "DRUV Simulated Instrument";

class SimulatedPortSystem : public MidiPortSystem {
public:
    SimulatedPortSystem() = default;
    // The instrument plays `device` with `settings` (Threaded delivery paces
    // its replies to the wire).
    SimulatedPortSystem(const DRUVDevice& device, druv::simulator::SimulatedInstrument::Settings settings);
    // The instrument stops before the input's sink is let go of.
    ~SimulatedPortSystem() override;

    std::vector<std::string> InputNames() override { return {kSimulatedPortName}; }
    std::vector<std::string> OutputNames() override { return {kSimulatedPortName}; }
    std::unique_ptr<MidiOutputPort> OpenOutput(size_t index, std::string& error) override;
    std::unique_ptr<MidiInputPort> OpenInput(size_t index, MidiMessageSink sink, std::string& error) override;

    // Null without a device.
    druv::simulator::SimulatedInstrument* Instrument() { return instrument_.get(); }

private:
    class Output;
    class Input;
    void Reply(const uint8_t* message, size_t size);
    void SetSink(MidiMessageSink sink);

    std::mutex mutex_;
    MidiMessageSink sink_;  // the open input's, if any
    std::unique_ptr<druv::simulator::SimulatedInstrument> instrument_;
};

}  // namespace druvhost
