#include "testhost/instrument_rig.h"

namespace testhost {

InstrumentRig::InstrumentRig(const DRUVDevice& device, druv::simulator::SimulatedInstrument::Settings settings,
                             uint32_t outPort, uint32_t inPort) {
    instrument_ = std::make_unique<druv::simulator::SimulatedInstrument>(
        device, settings, [this, inPort](const uint8_t* message, size_t size) { input_.Deliver(inPort, message, size); });
    druv::simulator::SimulatedInstrument* instrument = instrument_.get();
    midi_out_.Route(outPort, [instrument](const uint8_t* message, size_t size) { instrument->Receive(message, size); });
}

InstrumentRig::~InstrumentRig() {
    midi_out_.Route(0, nullptr);
    instrument_.reset();
    input_.Connect(nullptr);
}

}  // namespace testhost
