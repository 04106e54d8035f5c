// Whether an instrument answers, asked by the host itself on ports of its
// own: the ports are chosen as a command chooses them (by name, else as
// saved, else the simulated pair, which then plays the device), opened for
// the probe and closed again. Windows only.
#pragma once

#include <string>
#include <vector>

#include "druvhost/host/detection_probe.h"
#include "druvhost/host/saved_settings.h"

class Clock;
class DRUVDevice;

namespace druvhost {

// The device ID and channel a probe of `definition` uses: those `saved` (the
// bytes its filter saved with a project, if any) holds, else the
// definition's lowest device ID on the first channel.
SavedSettings ProbeSettings(const DRUVDevice& definition, const std::vector<uint8_t>* saved);

// False, with `error`, when a port cannot be chosen or opened; otherwise
// the detection's outcome in `detection`.
bool ProbeDevice(const DRUVDevice& definition, const SavedSettings& settings, const std::string& inPort,
                 const std::string& outPort, Clock& clock, Detection& detection, std::string& error);

}  // namespace druvhost
