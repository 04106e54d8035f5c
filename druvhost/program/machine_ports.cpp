#include "druvhost/program/machine_ports.h"

#if defined(DRUVHOST_WITH_WINMM)
#include "druvhost/ports/winmm/winmm_port_system.h"
#endif

namespace druvhost {

// The one place where the machine's ports join: the WinMM system, when its
// library is part of the build (druvhost/ports/winmm).
void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems) {
#if defined(DRUVHOST_WITH_WINMM)
    if (std::unique_ptr<MidiPortSystem> winmm = CreateWinmmPortSystem()) systems.push_back(std::move(winmm));
#else
    (void)systems;
#endif
}

}  // namespace druvhost
