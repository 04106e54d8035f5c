#include "testhost/instrument_rig.h"

namespace testhost {

using druv::simulator::InstrumentDefinition;
using druv::simulator::SimulatedInstrument;

InstrumentRig::InstrumentRig(const DRUVDevice& device, SimulatedInstrument::Settings settings, uint32_t outPort,
                             uint32_t inPort)
    : InstrumentRig(druv::simulator::DefinitionFromDevice(device), settings, outPort, inPort) {}

InstrumentRig::InstrumentRig(InstrumentDefinition definition, SimulatedInstrument::Settings settings,
                             uint32_t outPort, uint32_t inPort)
    : out_port_(outPort), in_port_(inPort) {
    instrument_ = Wired(std::move(definition), settings);
    RouteTo(instrument_.get());
}

InstrumentRig::~InstrumentRig() {
    midi_out_.Route(0, nullptr);
    second_.reset();
    instrument_.reset();
    input_.Connect(nullptr);
}

std::unique_ptr<SimulatedInstrument> InstrumentRig::Wired(InstrumentDefinition definition,
                                                          SimulatedInstrument::Settings settings) {
    const uint32_t inPort = in_port_;
    return std::make_unique<SimulatedInstrument>(
        std::move(definition), settings,
        [this, inPort](const uint8_t* message, size_t size) { input_.Deliver(inPort, message, size); });
}

void InstrumentRig::RouteTo(SimulatedInstrument* instrument) {
    midi_out_.Route(out_port_,
                    [instrument](const uint8_t* message, size_t size) { instrument->Receive(message, size); });
}

SimulatedInstrument& InstrumentRig::SwitchToSecond(SimulatedInstrument::Settings settings) {
    std::unique_ptr<SimulatedInstrument> second = Wired(instrument_->Definition(), settings);
    RouteTo(second.get());
    second_ = std::move(second);  // an earlier second instrument is no longer reached
    return *second_;
}

}  // namespace testhost
