// Writing and deleting the registry entries through which the host finds an
// installed device and the plug-in that serves it.
#pragma once

#include <string>

#include "platform/com_base.h"
#include "platform/registry_editor.h"

// HKCR\CLSID\{class} with `name` as default value, its InprocServer32 with
// `pluginPath` as default value and ThreadingModel "Both". Stops at the first
// write the registry refuses and returns false.
bool RegisterComponentClass(RegistryEditor& registry, const GUID& classId, const std::string& name,
                            const std::string& pluginPath);

struct DeviceRegistration {
    GUID deviceGuid{};
    std::string displayName;
    std::string pluginPath;
    std::string devicePath;
    int deviceType = 0;
};

// The ten entries, in this order: the device's class, the editor page's
// class, the host's plug-in key, then its name, type code and device path.
// Stops at the first write the registry refuses and returns false; the
// caller rolls back what was written.
bool RegisterDevice(RegistryEditor& registry, const DeviceRegistration& device);

// Deletes the key with all its subkeys, depth first. A subkey that cannot be
// deleted ends the walk over its siblings (so a refusing registry cannot keep
// it going forever), and then the key itself stays too. True when the key is
// gone afterwards (or never was there).
bool DeleteKeyTree(RegistryEditor& registry, RegistryRoot root, const std::string& keyPath);
