// Writing and deleting the registry entries through which the host finds an
// installed device and the plug-in that serves it.
#pragma once

#include <string>

#include "platform/com_base.h"
#include "platform/registry_editor.h"

// Who serves a component class, as its InprocServer32 default value and its
// out-of-process server keys say.
enum class ClassOwner {
    None,          // no such class, or no server named for it
    Plugin,        // served in process by a file named DRUV.dll (in any folder, any case)
    OtherProgram,  // served by some other file or process: never ours to change
};

ClassOwner ClassOwnerOf(RegistryEditor& registry, const GUID& classId);
// The file that the class's InprocServer32 default value names; empty when
// there is none.
std::string ClassServerPath(RegistryEditor& registry, const GUID& classId);

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

// Deletes HKCR\CLSID\{class} unless it must stay: the editor page's class,
// the null identifier, and any class that another program serves are left
// alone. True when nothing that should have gone is left.
bool DeleteOwnClass(RegistryEditor& registry, const GUID& classId);
