#include "druvhost/session/device_probe.h"

#include <memory>
#include <vector>

#include "druvhost/host/host_midi_out.h"
#include "druvhost/ports/port_table.h"
#include "druvhost/session/filter_session.h"

namespace druvhost {

SavedSettings ProbeSettings(const DRUVDevice& definition, const std::vector<uint8_t>* saved) {
    SavedSettings settings;
    settings.deviceId = definition.SysXChanMin();
    if (saved != nullptr) ReadSavedSettings(*saved, settings);
    return settings;
}

bool ProbeDevice(const DRUVDevice& definition, const SavedSettings& settings, const std::string& inPort,
                 const std::string& outPort, Clock& clock, Detection& detection, std::string& error) {
    druv::simulator::SimulatedInstrument::Settings simulated;
    simulated.deviceId = settings.deviceId;
    simulated.midiChannel = settings.channel;
    SimulatedPortSystem* pair = nullptr;
    auto systems = HostPortSystems(pair, &definition, simulated);
    std::vector<MidiPortSystem*> pointers;
    for (const auto& system : systems) pointers.push_back(system.get());
    const PortTable table(pointers);
    const PortEntry* in = ChoosePort(table, PortDirection::Input, inPort, settings.inPort, error);
    const PortEntry* out = in ? ChoosePort(table, PortDirection::Output, outPort, settings.outPort, error) : nullptr;
    if (out == nullptr) return false;

    DetectionProbe probe(definition, clock);
    std::unique_ptr<MidiOutputPort> output = table.OpenOutput(*out, error);
    if (!output) {
        error = "cannot open the MIDI output " + out->name + ": " + error;
        return false;
    }
    std::unique_ptr<MidiInputPort> input = table.OpenInput(
        *in, [&probe](const uint8_t* message, size_t size) { probe.OnMessage(message, size); }, error);
    if (!input) {
        error = "cannot open the MIDI input " + in->name + ": " + error;
        return false;
    }
    HostMidiOut midi;
    MidiOutputPort* port = output.get();
    midi.Route(out->handle, [port](const uint8_t* message, size_t size) { port->Send(message, size); });
    detection = probe.Run(midi, out->handle, settings.deviceId, settings.channel);
    input.reset();
    midi.Route(0, nullptr);
    return true;
}

}  // namespace druvhost
