#include "druvhost/syx/project_syx.h"

#include "device/druv_device.h"
#include "druvhost/cli/configuration_choice.h"
#include "druvhost/project/project_store.h"
#include "druvhost/syx/saved_dumps.h"
#include "druvhost/syx/syx_file.h"
#include "druvhost/syx/syx_import.h"
#include "platform/safe_file_write.h"

namespace druvhost {

namespace {

bool ChooseMask(const DRUVDevice& device, const SyxTarget& target, uint32_t& mask, std::string& error) {
    return ChooseConfiguration(ConfigurationNames(device), target.config, mask, error);
}

std::string Messages(size_t count) { return std::to_string(count) + (count == 1 ? " message" : " messages"); }

std::string ImportReport(const SyxFile& file, const SyxImport& import) {
    std::string report;
    for (const ItemImport& item : import.items) {
        report += "  \"" + item.item + "\": " + Messages(item.messageCount);
        if (item.messageCount > 0)
            report += " (" + std::to_string(item.firstMessage + 1) + " to " +
                      std::to_string(item.firstMessage + item.messageCount) + ")";
        report += ", " + std::to_string(item.stored.size()) + " bytes stored\n";
    }
    if (file.skippedBytes > 0)
        report += "  " + std::to_string(file.skippedBytes) + " byte(s) outside SysX messages were skipped\n";
    return report;
}

}  // namespace

bool ImportSyxIntoProject(const DRUVDevice& device, const ClassId& classId, const std::string& syxPath,
                          const std::string& projectPath, const SyxTarget& target, const PluginPass& plugin,
                          std::string& report, std::string& error) {
    Project project;
    if (LoadProjectFile(projectPath, project, error) == ProjectLoad::Refused) return false;
    SyxFile file;
    const SyxReadResult read = ReadSyxFile(syxPath, file);
    if (read.error != SyxReadError::None) {
        error = syxPath + ": " + read.text;
        return false;
    }
    SyxImport import;
    if (!target.item.empty()) {
        import = PlanItemImport(device, file, target.item);
    } else {
        uint32_t mask = 0;
        if (!ChooseMask(device, target, mask, error)) return false;
        import = PlanConfigurationImport(device, file, mask);
    }
    if (!import.Fits()) {
        error = syxPath + " does not fit; the project file was not changed: " + import.refusal;
        return false;
    }
    const ProjectEntry* entry = project.Find(classId);
    std::vector<uint8_t> saved = entry ? entry->filterData : std::vector<uint8_t>();
    if (!ApplyImport(device, import, saved, error)) return false;
    if (plugin && !plugin(saved, error)) return false;
    project.Put(classId, std::move(saved));
    if (!SaveProjectFile(projectPath, project, error)) return false;
    report = "Imported " + Messages(file.messages.size()) + " from " + syxPath + ":\n" + ImportReport(file, import) +
             "Saved to " + projectPath + "\n";
    return true;
}

bool ExportSyxFromProject(const DRUVDevice& device, const ClassId& classId, const std::string& projectPath,
                          const SyxTarget& target, const std::string& syxPath, std::string& report,
                          std::string& error) {
    Project project;
    switch (LoadProjectFile(projectPath, project, error)) {
        case ProjectLoad::Refused: return false;
        case ProjectLoad::Missing: error = "no project file " + projectPath; return false;
        case ProjectLoad::Loaded: break;
    }
    const ProjectEntry* entry = project.Find(classId);
    if (!entry) {
        error = projectPath + " holds nothing for " + device.Product();
        return false;
    }
    std::vector<uint8_t> syx;
    if (!target.item.empty()) {
        if (!ExportItem(device, entry->filterData, target.item, syx, error)) return false;
    } else {
        uint32_t mask = 0;
        if (!ChooseMask(device, target, mask, error)) return false;
        if (!ExportConfiguration(device, entry->filterData, mask, syx, error)) return false;
    }
    if (!WriteFileSafely(syxPath, syx.data(), syx.size())) {
        error = "cannot write " + syxPath;
        return false;
    }
    SyxFile written;
    ParseSyx(syx, written);
    report = "Exported " + Messages(written.messages.size()) + " (" + std::to_string(syx.size()) + " bytes) to " +
             syxPath + "\n";
    return true;
}

}  // namespace druvhost
