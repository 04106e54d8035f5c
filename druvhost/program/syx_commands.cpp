#include "druvhost/program/syx_commands.h"

#include <windows.h>
#include <ocidl.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "device/druv_device.h"
#include "druvhost/cli/installed_devices.h"
#include "druvhost/host/project_stream.h"
#include "druvhost/program/console.h"
#include "druvhost/syx/project_syx.h"
#include "platform/registry_editor.h"

namespace druvhost {

namespace {

int Fail(const std::string& error) {
    WriteError("druvhost: " + error + "\n");
    return kExitFailure;
}

struct Found {
    InstalledDevice device;
    DRUVDevice definition;
    ClassId classId{};
};

bool FindDefinition(const std::string& text, Found& found, std::string& error) {
    const std::vector<InstalledDevice> devices = InstalledDevices(SystemRegistryEditor());
    const InstalledDevice* device = FindDevice(devices, text, error);
    if (device == nullptr) return false;
    found.device = *device;
    std::memcpy(found.classId.data(), &device->classId, found.classId.size());
    found.definition.SetFilePath(device->definitionPath.c_str());
    if (device->definitionPath.empty() || found.definition.LoadDefinition() != 0) {
        error = "cannot read the definition of " + device->name + " (" + device->definitionPath + ")";
        return false;
    }
    return true;
}

// The device's filter, made as a host makes it, loads the bytes and saves
// them again: the project then holds only what the plug-in itself wrote.
bool PassThroughFilter(const InstalledDevice& device, std::vector<uint8_t>& saved, std::string& error) {
    IPersistStream* persist = nullptr;
    HRESULT result = CoCreateInstance(device.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream,
                                      reinterpret_cast<void**>(&persist));
    if (FAILED(result)) {
        error = "the plug-in cannot create " + device.name + " (HRESULT " + std::to_string(result) + ")";
        return false;
    }
    MemoryIStream* source = new (std::nothrow) MemoryIStream(saved);
    IStream* target = CreateProjectStream();
    bool passed = false;
    if (source && target) {
        result = persist->Load(source);
        if (result != S_OK)
            error = "the filter of " + device.name + " refused the imported data";
        else if (persist->Save(target, TRUE) != S_OK || !RewindStream(target))
            error = "the filter of " + device.name + " could not save the imported data";
        else
            passed = true;
    } else {
        error = "out of memory";
    }
    if (passed) saved = StreamBytes(target);
    if (source) source->Release();
    if (target) target->Release();
    persist->Release();
    return passed;
}

}  // namespace

int RunImport(const CommandLine& line) {
    Found found;
    std::string error, report;
    if (!FindDefinition(line.operands[0], found, error)) return Fail(error);
    const PluginPass plugin = [&found](std::vector<uint8_t>& saved, std::string& e) {
        return PassThroughFilter(found.device, saved, e);
    };
    if (!ImportSyxIntoProject(found.definition, found.classId, line.operands[1], line.project,
                              {line.item, line.config}, plugin, report, error))
        return Fail(error);
    WriteOut(report);
    return kExitSuccess;
}

int RunExport(const CommandLine& line) {
    Found found;
    std::string error, report;
    if (!FindDefinition(line.operands[0], found, error)) return Fail(error);
    if (!ExportSyxFromProject(found.definition, found.classId, line.project, {line.item, line.config}, line.outFile,
                              report, error))
        return Fail(error);
    WriteOut(report);
    return kExitSuccess;
}

}  // namespace druvhost
