// The machine's own MIDI port systems, listed after the simulated pair.
#pragma once

#include <memory>
#include <vector>

#include "druvhost/ports/midi_port_system.h"

namespace druvhost {

void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems);

}  // namespace druvhost
