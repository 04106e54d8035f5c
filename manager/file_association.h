// The ".druv" association that the manager renews at every start, so that
// opening a definition file from the shell starts the manager with its path.
#pragma once

#include <string>

#include "platform/registry_editor.h"

// HKCR\.druv\DefaultIcon = managerFolder\DRUVManager.ico and
// HKCR\.druv\shell\Open\command = "<exe>" "%1". The executable's path is
// quoted, or a path with blanks would be cut at its first blank. A refused
// write is skipped and the other still tried; false when either failed.
bool WriteFileAssociation(RegistryEditor& registry, const std::string& managerFolder,
                          const std::string& executablePath);
