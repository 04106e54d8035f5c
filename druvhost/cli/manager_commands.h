// install and uninstall: the manager's own work, with what its message boxes
// would say printed instead, and its questions answered Yes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "manager/instrument_manager.h"

namespace druvhost {

// Both return an exit status: success when no box reported an error or a
// warning.
int InstallDefinitions(const std::vector<std::string>& files, ManagerEnvironment environment, std::ostream& out);
// Every device named must be installed, or nothing is removed.
int UninstallDevices(const std::vector<std::string>& devices, ManagerEnvironment environment, std::ostream& out);

}  // namespace druvhost
