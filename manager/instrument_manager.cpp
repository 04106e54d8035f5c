#include "manager/instrument_manager.h"

#include <utility>
#include <vector>

#include "contract/program_files.h"
#include "device/companion_files.h"
#include "device/text_fields.h"
#include "manager/display_name.h"
#include "manager/entry_ownership.h"
#include "manager/host_registration.h"
#include "manager/host_registry_layout.h"
#include "manager/instrument_list_store.h"
#include "platform/message_box.h"
#include "platform/utf16_text.h"
#include "platform/guid.h"

InstrumentManager::InstrumentManager(ManagerEnvironment environment) : environment_(std::move(environment)) {}

std::string InstrumentManager::PluginPath() const {
    return environment_.managerFolder + "\\" + kPluginFileName;
}

void InstrumentManager::SetMessageOwner(void* owner) {
    owner_ = owner;
    device_.SetMessageOwner(owner);
}

void InstrumentManager::ListChanged() {
    if (list_changed_) list_changed_();
}

// Every text is passed as it is, never as a format: a company may well call
// itself "100%s".
void InstrumentManager::ShowError(const std::string& text) {
    ShowMessageBox(text.c_str(), kManagerCaption, MessageIcon::Error, MessageButtons::Ok, owner_);
}

void InstrumentManager::InstallDevices(const std::vector<std::string>& paths) {
    if (closed_) return;
    waiting_.insert(waiting_.end(), paths.begin(), paths.end());
    if (busy_) return;
    busy_ = true;
    InstallWaiting();
    busy_ = false;
}

void InstrumentManager::InstallWaiting() {
    while (!waiting_.empty() && !closed_) {
        const std::string path = waiting_.front();
        waiting_.erase(waiting_.begin());
        InstallDevice(path);
    }
    waiting_.clear();
}

void InstrumentManager::Close() {
    closed_ = true;
    waiting_.clear();
    RemoveEntries(true);
}

void InstrumentManager::InstallDevice(const std::string& path) {
    if (path.empty() || closed_) return;
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
    // The reader may have shown a box, and the window may have gone meanwhile.
    if (closed_) return;

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
    list_.Append(InstrumentRecord{displayName, deviceGuid, device_.EditorGUID(), DevicePathMark(device_.FilePath())});
    ListChanged();
    SaveInstrumentList();
    if (closed_) return;

    const std::string problems = InstallProblems();
    const std::string report = problems.empty()
                                   ? displayName + " has been successfully registered in Corvane"
                                   : problems + displayName + " has been installed with the problems listed above.";
    ShowMessageBox(report.c_str(), kManagerCaption, MessageIcon::Information, MessageButtons::Ok, owner_);
}

std::string InstrumentManager::InstallProblems() const {
    const auto fileExists = [this](const std::string& file) {
        return !environment_.fileExists || environment_.fileExists(file);
    };
    std::string problems;
    const std::string& helpFile = device_.HelpFile();
    if (!helpFile.empty()) {
        const CompanionFileProblem refused = CheckHelpFileName(helpFile);
        const std::string helpPath = HelpFilePath(device_);
        if (refused != CompanionFileProblem::None)
            problems += "The Help File " + helpFile + " will not be opened: " + DescribeCompanionFileProblem(refused) +
                        ".\n\n";
        else if (!fileExists(helpPath))
            problems += "The Help File " + helpPath +
                        " not found!\nIt should be placed in the same folder as the device definition.\n\n";
    }
    for (const std::string* picture : {&device_.ActivePNGFile(), &device_.InactivePNGFile()}) {
        if (picture->empty()) continue;
        const CompanionFileProblem refused = CheckPictureFileName(*picture);
        if (refused != CompanionFileProblem::None)
            problems += "The picture " + *picture + " will not be read: " + DescribeCompanionFileProblem(refused) +
                        ".\n\n";
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
    // The device's class must be absent or ours; the editor page's class,
    // which every copy of the plug-in registers alike, may be any copy's.
    const std::pair<GUID, ServerMatcher> classes[] = {
        {deviceGuid, ThisPlugin(PluginPath(), environment_.sameFile)}, {kPropPageClassId, AnyCopyOfThePlugin()}};
    for (const auto& [classId, ours] : classes) {
        const ClassInspection inspection = InspectClass(environment_.registry, classId, ours);
        if (inspection.state != ClassState::Foreign) continue;
        ShowError(displayName + "\ncannot be installed: the class " + ClassIdText(classId) +
                  " is registered to another program\n(" + inspection.foreignEntry + ").");
        return false;
    }
    return true;
}

void InstrumentManager::RollBackInstall(const GUID& deviceGuid) {
    if (list_.OtherItemHoldsDevice(deviceGuid, list_.Count())) return;
    RegistryEditor& registry = environment_.registry;
    // Before the install the class was absent or ours (MayInstall); what the
    // refused writes left of it is no other program's.
    const ClassState state = InspectClass(registry, deviceGuid, ThisPlugin(PluginPath(), environment_.sameFile)).state;
    if (state == ClassState::Ours || state == ClassState::Unserved)
        DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(deviceGuid));
    DeleteKeyTree(registry, RegistryRoot::LocalMachine, HostPluginKeyPath(deviceGuid));
}

InstrumentManager::Unregistered InstrumentManager::UnregisterDevice(size_t index, std::string& notOurs) {
    RegistryEditor& registry = environment_.registry;
    const InstrumentRecord& record = list_.Item(index).record;
    // Two definitions may share a DeviceGUID; their host entries are one.
    const RemovalContext context{registry, ThisPlugin(PluginPath(), environment_.sameFile), environment_.sameFile,
                                 list_.OtherItemHoldsDevice(record.deviceGuid, index),
                                 list_.OtherItemHoldsDevice(record.editorGuid, index)};
    const RemovalPlan plan = PlanRemoval(context, record);
    if (!plan.notOurs.empty()) {
        notOurs = plan.notOurs;
        return Unregistered::NotOurs;
    }
    bool removed = true;
    if (plan.deviceClass)
        removed = DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(record.deviceGuid)) && removed;
    if (plan.editorClass)
        removed = DeleteKeyTree(registry, RegistryRoot::ClassesRoot, ClassKeyPath(record.editorGuid)) && removed;
    if (plan.hostEntry)
        removed = DeleteKeyTree(registry, RegistryRoot::LocalMachine, HostPluginKeyPath(record.deviceGuid)) && removed;
    return removed ? Unregistered::Removed : Unregistered::Refused;
}

void InstrumentManager::RemoveEntries(bool all) {
    if (!all && closed_) return;
    std::vector<std::string> kept;
    std::vector<std::string> notOurs;
    for (size_t i = list_.Count(); i-- > 0;) {
        if (!all && !list_.Item(i).selected) continue;
        if (!all) {
            std::string reason;
            switch (UnregisterDevice(i, reason)) {
            case Unregistered::Refused:
                kept.insert(kept.begin(), list_.Item(i).displayName);
                continue;
            case Unregistered::NotOurs:
                notOurs.insert(notOurs.begin(), list_.Item(i).displayName + ": " + reason);
                break;
            case Unregistered::Removed:
                break;
            }
        }
        list_.Remove(i);
    }
    ListChanged();
    if (!kept.empty()) {
        std::string text =
            "The registry entries of these instruments could not be removed, so they stay in the list:\n";
        for (const std::string& name : kept) text += name + "\n";
        text += "\nRemoving instruments needs administrator rights.";
        ShowError(text);
    }
    if (!notOurs.empty()) {
        std::string text = "These instruments were taken off the list, but their registry entries were left as "
                           "they are: they are not the entries this DRUV Manager makes.\n\n";
        for (const std::string& line : notOurs) text += line + "\n";
        ShowMessageBox(text.c_str(), kManagerCaption, MessageIcon::Warning, MessageButtons::Ok, owner_);
    }
}

void InstrumentManager::Remove() {
    RemoveWhenConfirmed("Are you sure you want to uninstall the selected DRUV Instruments?", false);
}

void InstrumentManager::RemoveAll() {
    RemoveWhenConfirmed("Are you sure you want to uninstall all DRUV Instruments?", true);
}

// The window may close while the question is up; files dropped meanwhile
// wait until it is answered.
void InstrumentManager::RemoveWhenConfirmed(const char* question, bool everything) {
    if (closed_ || busy_) return;
    busy_ = true;
    if (ShowMessageBox(question, kManagerCaption, MessageIcon::Question, MessageButtons::YesNo, owner_) ==
            MessageAnswer::Yes &&
        !closed_) {
        if (everything) list_.SelectAll();
        RemoveEntries(false);
        SaveInstrumentList();
    }
    InstallWaiting();
    busy_ = false;
}

void InstrumentManager::LoadInstrumentList() {
    list_.Clear();
    ::LoadInstrumentList(environment_.registry, list_);
    ListChanged();
}

bool InstrumentManager::SaveInstrumentList() {
    if (closed_) return false;
    return ::SaveInstrumentList(environment_.registry, list_, owner_);
}
