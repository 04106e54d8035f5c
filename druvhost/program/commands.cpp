#include "druvhost/program/commands.h"

#include <windows.h>
#include <olectl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

#include "druvhost/cli/configuration_choice.h"
#include "druvhost/cli/installed_devices.h"
#include "druvhost/cli/manager_commands.h"
#include "druvhost/cli/transfer_report.h"
#include "druvhost/cli/transmit_verdict.h"
#include "druvhost/host/detection_probe.h"
#include "druvhost/host/saved_settings.h"
#include "druvhost/program/console.h"
#include "druvhost/program/syx_commands.h"
#include "druvhost/program/terminal_transfer.h"
#include "druvhost/project/project_store.h"
#include "druvhost/session/device_probe.h"
#include "druvhost/session/filter_session.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "manager/host_registry_layout.h"
#include "manager/system_environment.h"
#include "platform/guid.h"
#include "platform/registry_editor.h"
#include "platform/utf16_text.h"

namespace druvhost {

namespace {

int Fail(const std::string& error) {
    WriteError("druvhost: " + error + "\n");
    return kExitFailure;
}

int Fail(const std::string& error, const std::vector<std::string>& lines) {
    std::string text = "druvhost: " + error + "\n";
    for (const std::string& line : lines) text += "  " + line + "\n";
    WriteError(text);
    return kExitFailure;
}

ClassId ToClassId(const GUID& guid) {
    ClassId id;
    std::memcpy(id.data(), &guid, id.size());
    return id;
}

std::string ClassText(const GUID& guid) {
    char text[kBracedGuidLength + 1] = {};
    FormatBracedGuid(guid, text, sizeof text);
    return text;
}

bool FindInstalled(const std::string& text, InstalledDevice& device, std::string& error) {
    const std::vector<InstalledDevice> devices = InstalledDevices(SystemRegistryEditor());
    const InstalledDevice* found = FindDevice(devices, text, error);
    if (found != nullptr) device = *found;
    return found != nullptr;
}

SessionChoices Choices(const CommandLine& line) {
    return {line.inPort, line.outPort, line.deviceId, line.channel, {}};
}

int RunManagerCommand(const CommandLine& line) {
    std::ostringstream out;
    const int status = line.kind == CommandKind::Install
                           ? InstallDefinitions(line.operands, SystemManagerEnvironment(), out)
                           : UninstallDevices(line.operands, SystemManagerEnvironment(), out);
    WriteOut(out.str());
    return status;
}

// The configurations of a device as its definition names them, after
// "configurations:", or why there are none to show.
std::string ConfigurationsLine(const InstalledDevice& device) {
    IUnknown* filter = nullptr;
    if (FAILED(CoCreateInstance(device.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&filter))))
        return " (the plug-in cannot create this device)";
    filter->Release();
    DRUVDevice definition;
    definition.SetFilePath(device.definitionPath.c_str());
    if (device.definitionPath.empty() || definition.LoadDefinition() != 0) return " (the definition cannot be read)";
    const std::vector<std::string> names = ConfigurationNames(definition);
    std::string line;
    for (size_t i = 0; i < names.size(); ++i) line += " " + std::to_string(i) + "=" + names[i];
    return line;
}

int RunList() {
    std::string out = "Installed devices:\n";
    const std::vector<InstalledDevice> devices = InstalledDevices(SystemRegistryEditor());
    if (devices.empty()) out += "  (none)\n";
    for (const InstalledDevice& device : devices) {
        out += "  " + device.name + "  " + ClassText(device.classId) + "\n";
        out += "    definition: " + (device.definitionPath.empty() ? "(none)" : device.definitionPath) + "\n";
        out += "    configurations:" + ConfigurationsLine(device) + "\n";
    }
    SimulatedPortSystem* simulated = nullptr;
    auto systems = HostPortSystems(simulated, nullptr, {});
    std::vector<MidiPortSystem*> pointers;
    for (const auto& system : systems) pointers.push_back(system.get());
    const PortTable table(pointers);
    for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
        out += direction == PortDirection::Input ? "MIDI inputs:\n" : "MIDI outputs:\n";
        size_t number = 0;
        for (const PortEntry& entry : table.Ports(direction)) {
            out += "  " + std::to_string(++number) + "  " + entry.name;
            const size_t namesakes = table.NamesakeCount(entry);
            if (namesakes > 1)
                out += "  (" + std::to_string(entry.rank + 1) + " of " + std::to_string(namesakes) + " of this name)";
            out += "\n";
        }
    }
    WriteOut(out);
    return kExitSuccess;
}

int RunReceive(const CommandLine& line) {
    InstalledDevice device;
    std::string error;
    if (!FindInstalled(line.operands[0], device, error)) return Fail(error);
    Project project;
    if (LoadProjectFile(line.project, project, error) == ProjectLoad::Refused) return Fail(error);
    const ProjectEntry* stored = project.Find(ToClassId(device.classId));

    FilterSession session(device);
    if (!session.Open(stored ? &stored->filterData : nullptr, Choices(line), error)) return Fail(error);
    uint32_t mask = 0;
    if (!ChooseConfiguration(session.Configurations(), line.config, mask, error)) return Fail(error);
    WriteOut("Receiving " + device.name + " from " + session.InPort()->name + " (requests on " +
             session.OutPort()->name + ")\n");
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> reported;
    const TransferOutcome outcome = RunTerminalTransfer(session, false, mask, reported, error);
    if (outcome == TransferOutcome::Cancelled) {
        WriteError("druvhost: cancelled; the project file was not changed\n");
        return kExitCancelled;
    }
    if (outcome == TransferOutcome::Failed) return Fail(error);
    std::vector<uint8_t> bytes;
    if (!session.Save(bytes, error)) return Fail(error);
    // Nothing of a receive that went wrong anywhere is kept: the project's
    // older dumps are worth more than a part of the new ones.
    const std::vector<std::string> failures =
        ReceiveFailures(reported, SelectedItems(session.Definition(), mask, bytes));
    if (!failures.empty()) return Fail("the receive failed; the project file was not changed:", failures);
    const int holding = SavedItemsWithDumps(bytes);
    if (holding == 0) return Fail("nothing was received from the instrument; the project file was not changed");
    project.Put(ToClassId(device.classId), bytes);
    project.MarkReceived(ToClassId(device.classId), static_cast<int64_t>(std::time(nullptr)));
    if (!SaveProjectFile(line.project, project, error)) return Fail(error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char summary[160];
    std::snprintf(summary, sizeof summary, "%d item(s) hold dumps; %u bytes saved in %.1f s\n", holding,
                  static_cast<unsigned>(bytes.size()), seconds);
    WriteOut(summary);
    WriteOut("Saved to " + line.project + "\n");
    return kExitSuccess;
}

int RunTransmit(const CommandLine& line) {
    InstalledDevice device;
    std::string error;
    if (!FindInstalled(line.operands[0], device, error)) return Fail(error);
    Project project;
    switch (LoadProjectFile(line.project, project, error)) {
        case ProjectLoad::Refused: return Fail(error);
        case ProjectLoad::Missing: return Fail("no project file " + line.project);
        case ProjectLoad::Loaded: break;
    }
    const ProjectEntry* stored = project.Find(ToClassId(device.classId));
    if (stored == nullptr) return Fail(line.project + " holds nothing for " + device.name);
    if (SavedItemsWithDumps(stored->filterData) == 0)
        return Fail(line.project + " holds no dumps of " + device.name + " to send");

    FilterSession session(device);
    // The simulated instrument starts with other contents than the one a
    // receive reads, so that only a transmit of the right bytes can make it
    // hold the project's dumps.
    SessionChoices choices = Choices(line);
    choices.simulatorSeed = kTransmitSimulatorSeed;
    if (!session.Open(&stored->filterData, choices, error)) return Fail(error);
    uint32_t mask = 0;
    if (!ChooseConfiguration(session.Configurations(), line.config, mask, error)) return Fail(error);
    WriteOut("Transmitting " + device.name + " to " + session.OutPort()->name + "\n");
    std::vector<std::string> reported;
    const TransferOutcome outcome = RunTerminalTransfer(session, true, mask, reported, error);
    if (outcome == TransferOutcome::Cancelled) {
        WriteError("druvhost: cancelled\n");
        return kExitCancelled;
    }
    if (outcome == TransferOutcome::Failed) return Fail(error);
    int status = kExitSuccess;
    if (druv::simulator::SimulatedInstrument* instrument = session.SimulatedInstrument()) {
        instrument->WaitUntilIdle(std::chrono::seconds(10));
        const auto counts = instrument->GetCounts();
        WriteOut("The simulated instrument stored " + std::to_string(counts.dumpsStored) + " dump message(s); " +
                 std::to_string(counts.refusedWrongDeviceId + counts.refusedBadChecksum) + " refused\n");
        const uint8_t id = instrument->DeviceId();
        const std::string difference = FirstDifferenceFromDumps(
            instrument->Definition(), instrument->Memory(), SavedItemData(stored->filterData), id,
            SelectedTemplates(session.Definition(), mask));
        WriteOut(TransmitVerdictLine(static_cast<uint8_t>(id + session.Definition().SysXDisplayOfs()), difference));
        if (!difference.empty()) status = kExitFailure;
    }
    const std::vector<std::string> failures = TransmitFailures(reported);
    if (!failures.empty()) return Fail("the transmit failed:", failures);
    return status;
}

// The detection goes out from the host itself, on the ports and with the
// device ID and channel the project (if given) or the options choose.
int RunDetect(const CommandLine& line) {
    InstalledDevice device;
    std::string error;
    if (!FindInstalled(line.operands[0], device, error)) return Fail(error);
    DRUVDevice definition;
    definition.SetFilePath(device.definitionPath.c_str());
    if (device.definitionPath.empty() || definition.LoadDefinition() != 0)
        return Fail("cannot read the definition of " + device.name + " (" + device.definitionPath + ")");
    Project project;
    if (!line.project.empty() && LoadProjectFile(line.project, project, error) == ProjectLoad::Refused)
        return Fail(error);
    const ProjectEntry* stored = project.Find(ToClassId(device.classId));
    SavedSettings saved = ProbeSettings(definition, stored ? &stored->filterData : nullptr);
    if (line.deviceId && !DeviceIdFromShown(*line.deviceId, definition.SysXDisplayOfs(), definition.SysXChanMin(),
                                            definition.SysXChanMax(), saved.deviceId, error))
        return Fail(error);
    if (line.channel) saved.channel = static_cast<uint8_t>(*line.channel - 1);

    Detection detection = Detection::Offline;
    if (!ProbeDevice(definition, saved, line.inPort, line.outPort, SystemClock(), detection, error))
        return Fail(error);
    if (detection == Detection::NoProbe || detection == Detection::SendFailed)
        return Fail(DescribeDetection(detection));
    WriteOut(std::string(DescribeDetection(detection)) + "\n");
    return detection == Detection::Online ? kExitSuccess : kExitFailure;
}

// A page shown for a set time (screenshots, scripted runs) ends as Cancel
// would, so nothing on it is applied: the frame is the modal window the
// property frame opened on this thread, and its message loop dispatches the
// thread's timer to this.
BOOL CALLBACK CloseFrameWindow(HWND window, LPARAM) {
    if (IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK CloseFrameWhenDue(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), CloseFrameWindow, 0);
}

int RunPage(const CommandLine& line) {
    InstalledDevice device;
    std::string error;
    if (!FindInstalled(line.operands[0], device, error)) return Fail(error);
    Project project;
    const ProjectEntry* stored = nullptr;
    if (!line.project.empty()) {
        if (LoadProjectFile(line.project, project, error) == ProjectLoad::Refused) return Fail(error);
        stored = project.Find(ToClassId(device.classId));
    }
    FilterSession session(device);
    if (!session.Open(stored ? &stored->filterData : nullptr, Choices(line), error)) return Fail(error);
    IUnknown* objects[] = {session.Filter()};
    const std::u16string caption = Utf8ToUtf16(device.name);
    CLSID pages[] = {kPropPageClassId};
    if (line.seconds) SetTimer(nullptr, 0, static_cast<UINT>(*line.seconds) * 1000u, CloseFrameWhenDue);
    const HRESULT result = OleCreatePropertyFrame(nullptr, 0, 0, reinterpret_cast<LPCOLESTR>(caption.c_str()), 1,
                                                  objects, 1, pages, 0, 0, nullptr);
    if (FAILED(result)) return Fail("the editor page cannot be shown (HRESULT " + std::to_string(result) + ")");
    if (line.project.empty()) return kExitSuccess;
    if (!session.IsDirty()) {
        WriteOut("Nothing was changed; " + line.project + " is as it was\n");
        return kExitSuccess;
    }
    std::vector<uint8_t> bytes;
    if (!session.Save(bytes, error)) return Fail(error);
    project.Put(ToClassId(device.classId), bytes);
    if (!SaveProjectFile(line.project, project, error)) return Fail(error);
    WriteOut("Saved to " + line.project + "\n");
    return kExitSuccess;
}

}  // namespace

int RunCommand(const CommandLine& line) {
    switch (line.kind) {
        case CommandKind::Install:
        case CommandKind::Uninstall: return RunManagerCommand(line);
        case CommandKind::List: return RunList();
        case CommandKind::Receive: return RunReceive(line);
        case CommandKind::Transmit: return RunTransmit(line);
        case CommandKind::Detect: return RunDetect(line);
        case CommandKind::Page: return RunPage(line);
        case CommandKind::Import: return RunImport(line);
        case CommandKind::Export: return RunExport(line);
        case CommandKind::None: break;
    }
    return kExitUsage;
}

}  // namespace druvhost
