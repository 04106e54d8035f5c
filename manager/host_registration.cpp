#include "manager/host_registration.h"

#include "manager/host_registry_layout.h"

bool RegisterComponentClass(RegistryEditor& registry, const GUID& classId, const std::string& name,
                            const std::string& pluginPath) {
    const RegistryRoot root = RegistryRoot::ClassesRoot;
    const std::string serverKey = ClassServerKeyPath(classId);
    return registry.SetValue(root, ClassKeyPath(classId), "", RegistryValue::Text(name)) &&
           registry.SetValue(root, serverKey, "", RegistryValue::Text(pluginPath)) &&
           registry.SetValue(root, serverKey, kThreadingModelValueName, RegistryValue::Text(kThreadingModel));
}

bool RegisterDevice(RegistryEditor& registry, const DeviceRegistration& device) {
    const RegistryRoot root = RegistryRoot::LocalMachine;
    const std::string pluginKey = HostPluginKeyPath(device.deviceGuid);
    return RegisterComponentClass(registry, device.deviceGuid, device.displayName, device.pluginPath) &&
           RegisterComponentClass(registry, kPropPageClassId, kEditorPageClassName, device.pluginPath) &&
           registry.CreateKey(root, pluginKey) &&
           registry.SetValue(root, pluginKey, kPluginNameValueName, RegistryValue::Text(device.displayName)) &&
           registry.SetValue(root, pluginKey, kPluginTypeValueName,
                             RegistryValue::Dword(HostTypeCode(device.deviceType))) &&
           registry.SetValue(root, pluginKey, kDevicePathValueName, RegistryValue::Text(device.devicePath));
}

bool DeleteKeyTree(RegistryEditor& registry, RegistryRoot root, const std::string& keyPath) {
    std::string subkey;
    std::string previous;
    bool first = true;
    // Index 0 names a new subkey each time one is deleted; the same name again
    // means the deletion did not take, however the registry reported it.
    while (registry.SubkeyName(root, keyPath, 0, subkey) && !subkey.empty() && (first || subkey != previous)) {
        const std::string subkeyPath = keyPath + "\\" + subkey;
        DeleteKeyTree(registry, root, subkeyPath);
        if (registry.KeyExists(root, subkeyPath)) break;
        previous = subkey;
        first = false;
    }
    if (registry.KeyExists(root, keyPath)) (void)registry.DeleteKey(root, keyPath);
    return !registry.KeyExists(root, keyPath);
}
