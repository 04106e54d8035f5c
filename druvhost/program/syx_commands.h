// druvhost's import and export of .syx files over the system: the device
// found among the installed ones, its definition read, and an import's new
// bytes loaded and saved again by the device's own filter. Windows only.
#pragma once

#include "druvhost/cli/command_line.h"

namespace druvhost {

int RunImport(const CommandLine& line);
int RunExport(const CommandLine& line);

}  // namespace druvhost
