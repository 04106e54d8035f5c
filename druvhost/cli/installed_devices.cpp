#include "druvhost/cli/installed_devices.h"

#include "contract/host_registry.h"
#include "druvhost/ports/port_table.h"
#include "manager/host_registry_layout.h"
#include "manager/instrument_list.h"
#include "manager/instrument_list_store.h"
#include "platform/guid.h"

namespace druvhost {

std::vector<InstalledDevice> InstalledDevices(RegistryEditor& registry) {
    InstrumentList list;
    LoadInstrumentList(registry, list);
    std::vector<InstalledDevice> devices;
    for (const InstrumentItem& item : list.Items()) {
        InstalledDevice device;
        device.name = item.displayName;
        device.classId = item.record.deviceGuid;
        RegistryValue value;
        if (registry.ReadValue(RegistryRoot::LocalMachine, HostPluginKeyPath(device.classId), kDevicePathValueName,
                               value) == RegistryRead::Ok)
            device.definitionPath = value.AsText();
        devices.push_back(std::move(device));
    }
    return devices;
}

const InstalledDevice* FindDevice(const std::vector<InstalledDevice>& devices, const std::string& text,
                                  std::string& error) {
    GUID classId{};
    const bool byClass = ParseBracedGuid(text.c_str(), classId);
    const InstalledDevice* found = nullptr;
    for (const InstalledDevice& device : devices) {
        const bool matches = byClass ? IsEqualGUID(device.classId, classId) : SameIgnoringAsciiCase(device.name, text);
        if (!matches) continue;
        if (found != nullptr && !IsEqualGUID(found->classId, device.classId)) {
            error = "more than one installed device is named \"" + text + "\"; give its class identifier";
            return nullptr;
        }
        if (found == nullptr) found = &device;
    }
    if (found == nullptr) error = "no installed device \"" + text + "\"; druvhost list shows them";
    return found;
}

}  // namespace druvhost
