// druvhost's import and export of .syx files: between a file and one
// device's stored dumps in a project file. The project file is written only
// when the whole .syx file fits, and always through a temporary file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "druvhost/project/project_file.h"

class DRUVDevice;

namespace druvhost {

struct SyxTarget {
    std::string item;    // a template's name; empty: by configuration
    std::string config;  // a configuration by name or number as `list` shows it; empty: All
};

// Hands the device's new saved bytes to the plug-in, which loads them and
// saves them again; what it saves goes into the project. False with `error`
// when the plug-in refuses them.
using PluginPass = std::function<bool(std::vector<uint8_t>& saved, std::string& error)>;

// Reads the .syx file, lays it into the target's items of `device` (whose
// filter saves under `classId`), passes the result through `plugin` if given
// and saves the project. False with `error`; the project file is then as it
// was. `report` tells which messages went to which item.
bool ImportSyxIntoProject(const DRUVDevice& device, const ClassId& classId, const std::string& syxPath,
                          const std::string& projectPath, const SyxTarget& target, const PluginPass& plugin,
                          std::string& report, std::string& error);

// Writes the stored dumps of the target's items to `syxPath`. False with `error`.
bool ExportSyxFromProject(const DRUVDevice& device, const ClassId& classId, const std::string& projectPath,
                          const SyxTarget& target, const std::string& syxPath, std::string& report,
                          std::string& error);

}  // namespace druvhost
