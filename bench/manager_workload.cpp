#include "bench/manager_workload.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "contract/program_files.h"
#include "device/druv_device.h"
#include "manager/host_registry_layout.h"
#include "manager/instrument_manager.h"
#include "platform/message_box.h"

const char kBenchManagerFolder[] = "C:\\Program Files\\DRUV";

namespace {

std::string ThreeDigits(size_t number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

// A folder no earlier run can have left behind: the clock's count and a
// counter in its name.
std::filesystem::path FreshFolder(std::error_code& error) {
    static int counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(error) /
        ("druv-manager-bench-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    if (!error) std::filesystem::create_directories(folder, error);
    return folder;
}

struct CountedBox {
    MessageIcon icon;
    MessageButtons buttons;
    std::string text;
};

bool StoredCountIs(RegistryEditor& registry, uint32_t expected) {
    RegistryValue value;
    uint32_t count = 0;
    return registry.ReadValue(RegistryRoot::CurrentUser, kInstrumentListKeyPath, kInstrumentCountValueName, value) ==
               RegistryRead::Ok &&
           value.AsDword(count) && count == expected;
}

}  // namespace

DefinitionFolder::DefinitionFolder(size_t count, const std::function<bool(GUID&)>& makeGuid) {
    std::error_code error;
    const std::filesystem::path folder = FreshFolder(error);
    if (error) {
        problem_ = "cannot create a folder for the definitions: " + error.message();
        return;
    }
    folder_ = folder.string();
    for (size_t i = 0; i < count; ++i) {
        GUID device{};
        GUID editor{};
        if (!makeGuid(device) || !makeGuid(editor)) {
            problem_ = "cannot make a GUID";
            return;
        }
        DRUVDevice definition;
        const std::string path = (folder / ("bench-" + ThreeDigits(i) + ".druv")).string();
        definition.SetFilePath(path.c_str());
        definition.SetCompany(("Bench Maker " + ThreeDigits(i)).c_str());
        definition.SetProduct(("Desk " + ThreeDigits(i)).c_str());
        definition.SetDeviceGUID(device);
        definition.SetEditorGUID(editor);
        if (definition.SaveDefinition() != 1) {
            problem_ = "cannot write " + path;
            return;
        }
        paths_.push_back(definition.FilePath());
        devices_.push_back(device);
        editors_.push_back(editor);
    }
}

DefinitionFolder::~DefinitionFolder() {
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::function<bool(GUID&)> CountingGuids() {
    uint32_t next = 0;
    return [next](GUID& guid) mutable {
        guid = GUID{0xBE7C0000u + next++, 0x4D61, 0x6E61, {0x67, 0x65, 0x72, 0x42, 0x65, 0x6E, 0x63, 0x68}};
        return true;
    };
}

double RoundTimes::TotalInstallMs() const {
    double total = 0;
    for (double ms : installMs) total += ms;
    return total;
}

bool RunInstallRemoveRound(RegistryEditor& registry, const DefinitionFolder& definitions,
                           const std::function<double()>& nowMs, RoundTimes& times, std::string& problem) {
    times = RoundTimes();
    times.installMs.reserve(definitions.Count());
    std::vector<CountedBox> boxes;
    boxes.reserve(definitions.Count() + 2);
    const ScopedMessageBoxHandler answerer([&boxes](const MessageBoxRequest& request) {
        boxes.push_back({request.icon, request.buttons, request.text});
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    });
    const std::string pluginPath = std::string(kBenchManagerFolder) + "\\" + kPluginFileName;
    InstrumentManager manager(ManagerEnvironment{
        registry, kBenchManagerFolder, [pluginPath](const std::string& path) { return path == pluginPath; },
        [](const std::string& path) { return path; }});

    for (size_t i = 0; i < definitions.Count(); ++i) {
        const double start = nowMs();
        manager.InstallDevice(definitions.Paths()[i]);
        times.installMs.push_back(nowMs() - start);
        // Exactly one box per install, and it must be the report of success.
        if (boxes.size() != i + 1 || boxes.back().icon != MessageIcon::Information ||
            manager.List().Count() != i + 1) {
            problem = "install " + std::to_string(i + 1) + " of " + definitions.Paths()[i] + " did not succeed" +
                      (boxes.empty() ? std::string() : ": " + boxes.back().text);
            return false;
        }
    }
    for (size_t i = 0; i < definitions.Count(); ++i) {
        const GUID& device = definitions.DeviceGuids()[i];
        if (!registry.KeyExists(RegistryRoot::ClassesRoot, ClassServerKeyPath(device)) ||
            !registry.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(device))) {
            problem = "the entries of " + ClassIdText(device) + " are missing after installing";
            return false;
        }
    }
    if (!StoredCountIs(registry, static_cast<uint32_t>(definitions.Count()))) {
        problem = "the stored instrument list does not count every install";
        return false;
    }

    const size_t boxesBefore = boxes.size();
    const double start = nowMs();
    manager.RemoveAll();
    times.removeAllMs = nowMs() - start;
    times.boxes = boxes.size();
    // Only the question, nothing after it: an error box would name items kept.
    if (boxes.size() != boxesBefore + 1 || boxes.back().buttons != MessageButtons::YesNo ||
        manager.List().Count() != 0) {
        problem = "Remove All did not remove everything" + (boxes.empty() ? std::string() : ": " + boxes.back().text);
        return false;
    }
    for (size_t i = 0; i < definitions.Count(); ++i) {
        for (const GUID& guid : {definitions.DeviceGuids()[i], definitions.EditorGuids()[i]}) {
            if (registry.KeyExists(RegistryRoot::ClassesRoot, ClassKeyPath(guid))) {
                problem = "the class " + ClassIdText(guid) + " is still registered after Remove All";
                return false;
            }
        }
        if (registry.KeyExists(RegistryRoot::LocalMachine, HostPluginKeyPath(definitions.DeviceGuids()[i]))) {
            problem = "the host entry of " + ClassIdText(definitions.DeviceGuids()[i]) + " is still there after Remove All";
            return false;
        }
    }
    if (!StoredCountIs(registry, 0)) {
        problem = "the stored instrument list is not empty after Remove All";
        return false;
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
