// The machine's own MIDI port systems, listed after the simulated pair. Each
// program defines this in a file of its own (the WinMM ports, or a test's
// ports), so that one build of the session serves them all.
#pragma once

#include <memory>
#include <vector>

#include "druvhost/ports/midi_port_system.h"

namespace druvhost {

void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems);

}  // namespace druvhost
