#include "manager/host_registration.h"

#include "device/text_fields.h"
#include "manager/host_registry_layout.h"
#include "platform/guid.h"

namespace {

// The last part of a path, without the quotes a hand-made entry may carry.
std::string FileNameOf(std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string ClassServerPath(RegistryEditor& registry, const GUID& classId) {
    RegistryValue value;
    if (registry.ReadValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(classId), "", value) != RegistryRead::Ok)
        return "";
    return value.AsText();
}

ClassOwner ClassOwnerOf(RegistryEditor& registry, const GUID& classId) {
    // A class served from another process names no in-process server at all,
    // yet belongs to the program that registered it.
    for (const char* server : {"LocalServer32", "LocalServer"})
        if (registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(classId) + "\\" + server))
            return ClassOwner::OtherProgram;
    RegistryValue value;
    if (registry.ReadValue(RegistryRoot::ClassesRoot, ClassServerKeyPath(classId), "", value) != RegistryRead::Ok)
        return ClassOwner::None;
    // A value that is not text names no file we could recognise as ours.
    const std::string fileName = FileNameOf(value.AsText());
    return EqualsIgnoringCase(fileName.c_str(), kPluginFileName) ? ClassOwner::Plugin : ClassOwner::OtherProgram;
}

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

bool DeleteOwnClass(RegistryEditor& registry, const GUID& classId) {
    if (IsNullGuid(classId) || IsEqualGUID(classId, kPropPageClassId)) return true;
    if (ClassOwnerOf(registry, classId) == ClassOwner::OtherProgram) return true;
    return DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(classId));
}
