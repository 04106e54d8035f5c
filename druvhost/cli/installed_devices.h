// The devices installed for the plug-in, as the manager keeps them: display
// name, class identifier and the definition file the plug-in reads; and the
// DEVICE a command names, found among them.
#pragma once

#include <string>
#include <vector>

#include "platform/com_base.h"
#include "platform/registry_editor.h"

namespace druvhost {

struct InstalledDevice {
    std::string name;
    GUID classId{};
    std::string definitionPath;  // empty when the host's entry has none
};

std::vector<InstalledDevice> InstalledDevices(RegistryEditor& registry);

// `text` is a braced class identifier or a name (ASCII letters in any case).
// Null with `error` when nothing or more than one device matches.
const InstalledDevice* FindDevice(const std::vector<InstalledDevice>& devices, const std::string& text,
                                  std::string& error);

}  // namespace druvhost
