#include "druvhost/program/machine_ports.h"

#if defined(DRUVHOST_WITH_WINMM)
#include "druvhost/ports/winmm/winmm_port_system.h"
#endif

namespace druvhost {

// The one place where the machine's ports join: the WinMM system, when its
// library (druvhost_ports_winmm, druvhost/ports/winmm) is part of the build.
void AddMachinePortSystems(std::vector<std::unique_ptr<MidiPortSystem>>& systems) {
#if defined(DRUVHOST_WITH_WINMM)
    if (std::unique_ptr<MidiPortSystem> winmm = MakeWinmmPortSystem()) systems.push_back(std::move(winmm));
#else
    (void)systems;
#endif
}

}  // namespace druvhost
