#include "druvhost/session/machine_ports.h"

#include "druvhost/ports/winmm/winmm_port_system.h"

namespace druvhost {

// The one place where the machine's ports join the host's.
void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems) {
    if (std::unique_ptr<MidiPortSystem> winmm = MakeWinmmPortSystem()) systems.push_back(std::move(winmm));
}

}  // namespace druvhost
