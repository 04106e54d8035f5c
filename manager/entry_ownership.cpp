#include "manager/entry_ownership.h"

#include "device/text_fields.h"
#include "contract/program_files.h"
#include "manager/host_registry_layout.h"
#include "platform/guid.h"

namespace {

constexpr char kServerSubkey[] = "InprocServer32";

// The subkey's name, and its default value when it holds text: what a
// musician may look up.
std::string Described(RegistryEditor& registry, const std::string& keyPath, const std::string& subkey) {
    RegistryValue value;
    if (registry.ReadValue(RegistryRoot::ClassesRoot, keyPath + "\\" + subkey, "", value) == RegistryRead::Ok &&
        value.type == RegistryType::Text && !value.AsText().empty())
        return subkey + " " + value.AsText();
    return subkey;
}

std::string ClassReason(const GUID& classId, const ClassInspection& inspection) {
    if (inspection.state == ClassState::Unserved) return "the class " + ClassIdText(classId) + " names no server";
    return "the class " + ClassIdText(classId) + " is registered to another program (" + inspection.foreignEntry + ")";
}

// Whether the class may go with the record; false, with the reason, when it
// is there and not ours.
bool JudgeClass(const RemovalContext& context, const GUID& classId, ClassState& state, bool& remove,
                std::string& reason) {
    const ClassInspection inspection = InspectClass(context.registry, classId, context.ours);
    state = inspection.state;
    remove = state == ClassState::Ours;
    if (state == ClassState::Absent || state == ClassState::Ours) return true;
    reason = ClassReason(classId, inspection);
    return false;
}

bool JudgeHostEntry(const RemovalContext& context, const InstrumentRecord& record, ClassState deviceClass,
                    bool& remove, std::string& reason) {
    const std::string key = HostPluginKeyPath(record.deviceGuid);
    remove = false;
    if (!context.registry.KeyExists(RegistryRoot::LocalMachine, key)) return true;
    const std::string entry = "the host's entry " + ClassIdText(record.deviceGuid);
    if (record.devicePath.Empty()) {
        remove = deviceClass == ClassState::Ours;
        if (!remove) reason = entry + " belongs to no class of this DRUV Manager";
        return remove;
    }
    RegistryValue value;
    if (context.registry.ReadValue(RegistryRoot::LocalMachine, key, kDevicePathValueName, value) !=
            RegistryRead::Ok ||
        value.type != RegistryType::Text || value.AsText().empty()) {
        reason = entry + " names no device file";
        return false;
    }
    remove = record.devicePath.Matches(value.AsText(), context.sameFile);
    if (!remove) reason = entry + " names another device file (" + value.AsText() + ")";
    return remove;
}

bool OwnClassOfTheRecord(const GUID& classId) {
    return !IsNullGuid(classId) && !IsEqualGUID(classId, kPropPageClassId);
}

}  // namespace

ServerMatcher ThisPlugin(const std::string& pluginPath, const SameFileFunction& sameFile) {
    return [pluginPath, sameFile](const std::string& server) { return SamePath(server, pluginPath, sameFile); };
}

ServerMatcher AnyCopyOfThePlugin() {
    return [](const std::string& server) {
        const std::string path = ComparablePath(server);
        const size_t separator = path.find_last_of("\\:");
        const std::string fileName = separator == std::string::npos ? path : path.substr(separator + 1);
        return EqualsIgnoringCase(fileName.c_str(), kPluginFileName);
    };
}

ClassInspection InspectClass(RegistryEditor& registry, const GUID& classId, const ServerMatcher& ours) {
    const RegistryRoot root = RegistryRoot::ClassesRoot;
    const std::string key = ClassKeyPath(classId);
    if (!registry.KeyExists(root, key)) return {ClassState::Absent, ""};
    RegistryValue appId;
    if (registry.ReadValue(root, key, "AppID", appId) == RegistryRead::Ok)
        return {ClassState::Foreign, "AppID " + appId.AsText()};
    // Subkey names are unique, so InprocServer32 can only be one of the
    // first two; a second subkey of any name is another program's.
    for (size_t index = 0; index < 2; ++index) {
        std::string subkey;
        if (!registry.SubkeyName(root, key, index, subkey)) break;
        if (index == 1 || !EqualsIgnoringCase(subkey.c_str(), kServerSubkey))
            return {ClassState::Foreign, Described(registry, key, subkey)};
    }
    const std::string serverKey = ClassServerKeyPath(classId);
    if (!registry.KeyExists(root, serverKey)) return {ClassState::Unserved, ""};
    std::string below;
    if (registry.SubkeyName(root, serverKey, 0, below))
        return {ClassState::Foreign, std::string(kServerSubkey) + "\\" + below};
    RegistryValue server;
    if (registry.ReadValue(root, serverKey, "", server) != RegistryRead::Ok || server.type != RegistryType::Text ||
        server.AsText().empty())
        return {ClassState::Foreign, std::string(kServerSubkey) + " without a file"};
    if (!ours || !ours(server.AsText())) return {ClassState::Foreign, server.AsText()};
    return {ClassState::Ours, ""};
}

RemovalPlan PlanRemoval(const RemovalContext& context, const InstrumentRecord& record) {
    RemovalPlan plan;
    std::string reason;
    bool ours = true;
    ClassState deviceClass = ClassState::Absent;
    if (!context.deviceShared && OwnClassOfTheRecord(record.deviceGuid))
        ours = JudgeClass(context, record.deviceGuid, deviceClass, plan.deviceClass, reason);
    if (ours && !context.editorShared && OwnClassOfTheRecord(record.editorGuid) &&
        !IsEqualGUID(record.editorGuid, record.deviceGuid)) {
        ClassState editorClass = ClassState::Absent;
        ours = JudgeClass(context, record.editorGuid, editorClass, plan.editorClass, reason);
    }
    if (ours && !context.deviceShared) ours = JudgeHostEntry(context, record, deviceClass, plan.hostEntry, reason);
    if (ours) return plan;
    RemovalPlan none;
    none.notOurs = reason;
    return none;
}
