#include "manager/instrument_manager.h"

#include <utility>
#include <vector>

#include "device/text_fields.h"
#include "manager/display_name.h"
#include "manager/host_registration.h"
#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "platform/message_box.h"
#include "platform/utf16_text.h"
#include "platform/guid.h"

namespace {

constexpr char kCaption[] = "DRUV Manager";

}  // namespace

InstrumentManager::InstrumentManager(ManagerEnvironment environment) : environment_(std::move(environment)) {}

std::string InstrumentManager::PluginPath() const {
    return environment_.managerFolder + "\\" + kPluginFileName;
}

void InstrumentManager::ListChanged() {
    if (list_changed_) list_changed_();
}

// Every text is passed as it is, never as a format: a company may well call
// itself "100%s".
void InstrumentManager::ShowError(const std::string& text) {
    ShowMessageBox(text.c_str(), kCaption, MessageIcon::Error, MessageButtons::Ok, owner_);
}

void InstrumentManager::InstallDevice(const std::string& path) {
    if (path.empty()) return;
    std::string absolute = environment_.absolutePath ? environment_.absolutePath(path) : path;
    if (absolute.empty()) absolute = path;
    // The host's component server reads DevicePath into 255 characters; a
    // longer path would be cut there and name another file, or none.
    if (Utf16Length(absolute.data(), absolute.size()) > kMaxTextLength) {
        ShowError("The path of the device file\n" + absolute +
                  "\nis longer than 255 characters and cannot be installed.\n"
                  "Please move the file to a folder with a shorter path.");
        return;
    }
    device_.SetFilePath(absolute.c_str());
    // One device serves every install: a file without identifiers must not
    // inherit those of the file read before it.
    device_.SetDeviceGUID(GUID{});
    device_.SetEditorGUID(GUID{});
    if (device_.LoadDefinition() != 0) return;

    const std::string displayName = FormDisplayName(device_.Company(), device_.Product());
    if (!MayInstall(absolute, displayName)) return;
    if (list_.FindName(displayName) < list_.Count()) {
        ShowError(displayName + "\nis already installed in DRUV");
        return;
    }

    const GUID deviceGuid = device_.DeviceGUID();
    DeviceRegistration registration{deviceGuid, displayName, PluginPath(), device_.FilePath(), device_.DeviceType()};
    if (!RegisterDevice(environment_.registry, registration)) {
        RollBackInstall(deviceGuid);
        ShowError(displayName +
                  "\ncould not be installed: the registry refused its entries.\n"
                  "Installing instruments needs administrator rights; please start DRUV Manager as administrator.");
        return;
    }
    list_.Append(InstrumentRecord{displayName, deviceGuid, device_.EditorGUID()});
    ListChanged();
    SaveInstrumentList();

    const std::string problems = InstallProblems();
    const std::string report = problems.empty()
                                   ? displayName + " has been successfully registered in Corvane"
                                   : problems + displayName + " has been installed with the problems listed above.";
    ShowMessageBox(report.c_str(), kCaption, MessageIcon::Information, MessageButtons::Ok, owner_);
}

std::string InstrumentManager::InstallProblems() const {
    const auto fileExists = [this](const std::string& file) {
        return !environment_.fileExists || environment_.fileExists(file);
    };
    std::string problems;
    if (!device_.HelpFile().empty()) {
        const std::string helpPath = device_.DefinitionDirectory() + "\\" + device_.HelpFile();
        if (!fileExists(helpPath))
            problems += "The Help File " + helpPath +
                        " not found!\nIt should be placed in the same folder as the device definition.\n\n";
    }
    if (!fileExists(PluginPath()))
        problems += "The DRUV plug-in " + PluginPath() +
                    " not found!\nIt should be placed in the same folder as DRUV Manager.\n\n";
    return problems;
}

bool InstrumentManager::MayInstall(const std::string& path, const std::string& displayName) {
    const GUID& deviceGuid = device_.DeviceGUID();
    if (IsNullGuid(deviceGuid)) {
        ShowError(path +
                  "\nhas no DeviceGUID and cannot be installed.\n"
                  "Please save it again in DRUV Template Builder to give it one.");
        return false;
    }
    if (IsEqualGUID(deviceGuid, kPropPageClassId)) {
        ShowError(path + "\nuses the class of the DRUV Editor " + ClassIdText(kPropPageClassId) +
                  " as its DeviceGUID and cannot be installed.");
        return false;
    }
    for (const GUID& classId : {deviceGuid, kPropPageClassId}) {
        if (ClassOwnerOf(environment_.registry, classId) != ClassOwner::OtherProgram) continue;
        ShowError(displayName + "\ncannot be installed: the class " + ClassIdText(classId) +
                  " is registered to another program\n(" + ClassServerPath(environment_.registry, classId) + ").");
        return false;
    }
    return true;
}

void InstrumentManager::RollBackInstall(const GUID& deviceGuid) {
    if (list_.OtherItemHoldsDevice(deviceGuid, list_.Count())) return;
    DeleteOwnClass(environment_.registry, deviceGuid);
    DeleteKeyTree(environment_.registry, RegistryRoot::LocalMachine, HostPluginKeyPath(deviceGuid));
}

bool InstrumentManager::UnregisterDevice(size_t index) {
    RegistryEditor& registry = environment_.registry;
    const InstrumentRecord& record = list_.Item(index).record;
    bool removed = true;
    // Two definitions may share a DeviceGUID; their host entries are one.
    const bool deviceShared = list_.OtherItemHoldsDevice(record.deviceGuid, index);
    if (!deviceShared) removed = DeleteOwnClass(registry, record.deviceGuid) && removed;
    if (!list_.OtherItemHoldsDevice(record.editorGuid, index))
        removed = DeleteOwnClass(registry, record.editorGuid) && removed;
    if (!deviceShared)
        removed = DeleteKeyTree(registry, RegistryRoot::LocalMachine, HostPluginKeyPath(record.deviceGuid)) && removed;
    return removed;
}

void InstrumentManager::RemoveEntries(bool all) {
    std::vector<std::string> kept;
    for (size_t i = list_.Count(); i-- > 0;) {
        if (!all && !list_.Item(i).selected) continue;
        if (!all && !UnregisterDevice(i)) {
            kept.insert(kept.begin(), list_.Item(i).displayName);
            continue;
        }
        list_.Remove(i);
    }
    ListChanged();
    if (kept.empty()) return;
    std::string text = "The registry entries of these instruments could not be removed, so they stay in the list:\n";
    for (const std::string& name : kept) text += name + "\n";
    text += "\nRemoving instruments needs administrator rights.";
    ShowError(text);
}

void InstrumentManager::Remove() {
    if (ShowMessageBox("Are you sure you want to uninstall the selected DRUV Instruments?", kCaption,
                       MessageIcon::Question, MessageButtons::YesNo, owner_) != MessageAnswer::Yes)
        return;
    RemoveEntries(false);
    SaveInstrumentList();
}

void InstrumentManager::RemoveAll() {
    if (ShowMessageBox("Are you sure you want to uninstall all DRUV Instruments?", kCaption, MessageIcon::Question,
                       MessageButtons::YesNo, owner_) != MessageAnswer::Yes)
        return;
    list_.SelectAll();
    RemoveEntries(false);
    SaveInstrumentList();
}

void InstrumentManager::LoadInstrumentList() {
    list_.Clear();
    ::LoadInstrumentList(environment_.registry, list_);
    ListChanged();
}

bool InstrumentManager::SaveInstrumentList() { return ::SaveInstrumentList(environment_.registry, list_, owner_); }
